#pragma once
// The orientation a photo's file records (EXIF/TIFF tag 274), so that a picture a camera
// stored sideways shows upright, as viewers show it. Portable: works on bytes only.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/Orientation.h"

namespace velvane {

// Enough of a JPEG's start for ExifOrientationOf in practice: EXIF must sit in one APP1
// segment (at most 64 KB) near the file's start, and the tag lies at that segment's start.
// A TIFF file may keep its first directory anywhere, even after the pixels.
constexpr std::size_t kExifOrientationBytes = 64 * 1024;

// The Orientation tag's value (1 to 8) of a JPEG (the first APP1 "Exif" segment before
// the scan) or of a TIFF file (its first directory). The bytes may be only the file's
// start; an EXIF segment cut short is read as far as it goes. Empty when there is no
// tag, its value is outside 1 to 8, or the structure around it is damaged.
std::optional<int> ExifOrientationOf(const std::uint8_t* bytes, std::size_t size);

// The turn that shows upright a picture stored with that EXIF value; none for a value
// outside 1 to 8.
Orientation OrientationFromExif(int value);

}  // namespace velvane

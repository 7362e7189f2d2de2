#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/PackageBag.h"

namespace velvane::mMain {

// Opens the windows of the package this program file carries and returns the
// temporary image files it wrote for them, in image order.
std::vector<std::wstring> LoadEmbeddedPackage(double packageOffset, bool DontDragActive, bool DontLoadEffect);

// The same for the package at an offset of any program file.
std::vector<std::wstring> LoadPackageFromFile(const std::wstring& programFile, double packageOffset,
                                              bool DontDragActive, bool DontLoadEffect);

// The same for a pin set file, through the same loader; empty when the file is no pin set
// this version reads (damaged, foreign, a later version).
std::optional<std::vector<std::wstring>> OpenPinSet(const std::wstring& path, bool DontDragActive, bool DontLoadEffect);

// A package read from a file, its large images left in the file until they are written
// out for their windows.
struct StoredPackage {
    PackageBag bag;
    std::map<std::wstring, StoredRange> left;  // by the name of the entry they are the value of
    std::wstring file;
};

// A pin set file read that way; empty when it is no pin set this version reads.
std::optional<StoredPackage> ReadPinSetFile(const std::wstring& path);

// Opens the windows of a package; notOpened, when given, gets the image numbers whose
// windows did not open (images stored without bytes aside), and opened those that did. A
// window whose settings cannot be read ends a package's list, but not a restore's (one that
// asks what did not open). The temporary files written.
std::vector<std::wstring> OpenPackage(const StoredPackage& package, bool DontDragActive, bool DontLoadEffect,
                                      std::vector<int>* notOpened = nullptr, std::vector<int>* opened = nullptr);

// The same for the bytes of a bag; empty when they are no bag.
std::optional<std::vector<std::wstring>> OpenPackageContents(const std::vector<std::uint8_t>& bag, bool DontDragActive,
                                                             bool DontLoadEffect, std::vector<int>* notOpened = nullptr,
                                                             std::vector<int>* opened = nullptr);

// Whether the file begins as a pin set (any version).
bool IsPinSetFile(const std::wstring& path);

}  // namespace velvane::mMain

#pragma once
// A pin set file (.velvane): the images of a copy's windows with their settings, in the
// same package data a self-contained copy carries, behind a signature and a version of
// its own so that a later version can tell it.
//   pinset = "Velvane pins\r\n" 0x1A version:u8 record      (record: PackageBag.h)

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velvane {

class PackageBag;
struct StoredRange;

constexpr std::uint8_t PinSetVersion = 1;

// Whether the bytes begin as a pin set does (any version).
bool HasPinSetSignature(const std::uint8_t* data, std::size_t size);

std::vector<std::uint8_t> MakePinSet(const std::vector<std::uint8_t>& bag);
// What comes before a bag of that many bytes in a pin set (the bag streamed after it).
std::vector<std::uint8_t> PinSetStart(std::uint32_t bagLength);

// The windows of these image numbers (in this order) as a package of their own, numbered
// from 1, each with its own image bytes where it referred to another's; origins, when
// given, gets for each new image entry the entry whose bytes it took.
PackageBag WindowsOf(const PackageBag& bag, const std::vector<int>& numbers, std::map<std::wstring, std::wstring>* origins = nullptr);

// The bag bytes of a pin set; throws PackageError for anything else, a later version or
// a damaged record.
std::vector<std::uint8_t> ReadPinSet(const std::uint8_t* data, std::size_t size);
// The same read piece by piece from a file of that size, its large images left there
// (LoadContentsFrom).
PackageBag ReadPinSetFrom(const std::function<bool(std::uint64_t, std::uint8_t*, std::size_t)>& read, std::uint64_t size,
                          std::size_t inMemory, std::map<std::wstring, StoredRange>& left);

}  // namespace velvane

#include "package/PinSet.h"

#include <cstring>

#include "package/PackageBag.h"

namespace velvane {
namespace {

constexpr char kSignature[] = "Velvane pins\r\n\x1a";
constexpr std::size_t kSignatureSize = sizeof kSignature - 1;

}  // namespace

bool HasPinSetSignature(const std::uint8_t* data, std::size_t size) {
    return size >= kSignatureSize && std::memcmp(data, kSignature, kSignatureSize) == 0;
}

std::vector<std::uint8_t> MakePinSet(const std::vector<std::uint8_t>& bag) {
    std::vector<std::uint8_t> file(kSignature, kSignature + kSignatureSize);
    file.push_back(PinSetVersion);
    const std::vector<std::uint8_t> record = MakePackageRecord(bag);
    file.insert(file.end(), record.begin(), record.end());
    return file;
}

std::vector<std::uint8_t> ReadPinSet(const std::uint8_t* data, std::size_t size) {
    if (!HasPinSetSignature(data, size) || size == kSignatureSize) throw PackageError("not a pin set");
    if (data[kSignatureSize] != PinSetVersion) throw PackageError("a pin set of another version");
    return ReadPackageRecord(data + kSignatureSize + 1, size - kSignatureSize - 1);
}

}  // namespace velvane

#include "core/PinSet.h"

#include <cstring>
#include <cwctype>

#include "core/PackageBag.h"

namespace velvane {
namespace {

constexpr char kSignature[] = "Velvane pins\r\n\x1a";
constexpr std::size_t kSignatureSize = sizeof kSignature - 1;

}  // namespace

bool HasPinSetSignature(const std::uint8_t* data, std::size_t size) {
    return size >= kSignatureSize && std::memcmp(data, kSignature, kSignatureSize) == 0;
}

std::vector<std::uint8_t> PinSetStart(std::uint32_t bagLength) {
    std::vector<std::uint8_t> start(kSignature, kSignature + kSignatureSize);
    start.push_back(PinSetVersion);
    const std::vector<std::uint8_t> record = MakePackageRecord({});
    start.insert(start.end(), record.begin(), record.begin() + 4);  // its signature
    for (int i = 0; i < 4; ++i) start.push_back(static_cast<std::uint8_t>(bagLength >> (8 * i)));
    return start;
}

std::vector<std::uint8_t> MakePinSet(const std::vector<std::uint8_t>& bag) {
    std::vector<std::uint8_t> file = PinSetStart(static_cast<std::uint32_t>(bag.size()));
    file.insert(file.end(), bag.begin(), bag.end());
    return file;
}

PackageBag WindowsOf(const PackageBag& bag, const std::vector<int>& numbers, std::map<std::wstring, std::wstring>* origins) {
    PackageBag out;
    std::map<int, std::vector<std::size_t>> places;  // where each window number goes: linear in the entries
    for (std::size_t j = 0; j < numbers.size(); ++j) places[numbers[j]].push_back(j);
    for (const auto& [name, value] : bag.Entries()) {
        std::size_t digits = name.size();
        while (digits > 0 && std::iswdigit(name[digits - 1])) --digits;
        if (digits == name.size()) {  // not a window's: the settings answer
            out.WriteValue(name, value);
            continue;
        }
        const int number = name.size() - digits > 9 ? -1 : std::stoi(name.substr(digits));
        const auto found = places.find(number);
        for (const std::size_t j : found == places.end() ? std::vector<std::size_t>{} : found->second) {
            const std::wstring renamed = name.substr(0, digits) + std::to_wstring(j + 1);
            const auto* reference = std::get_if<std::wstring>(&value);
            if (reference && name.compare(0, digits, L"Ras") == 0 && reference->compare(0, 3, L"Ras") == 0) {
                // One image referring to another's bytes: given its own.
                std::size_t end = 3;
                while (end < reference->size() && std::iswdigit((*reference)[end])) ++end;
                const std::wstring target = L"Ras" + reference->substr(3, end - 3);
                out.WriteValue(renamed, bag.Has(target) ? bag.ReadValue(target) : value);
                if (origins && bag.Has(target)) (*origins)[renamed] = target;
            } else {
                out.WriteValue(renamed, value);
                // Images only: the streamed bytes are an image's, which ends in a byte of its own.
                if (origins && name.compare(0, digits, L"Ras") == 0 && std::holds_alternative<std::vector<std::uint8_t>>(value))
                    (*origins)[renamed] = name;
            }
        }
    }
    return out;
}

std::vector<std::uint8_t> ReadPinSet(const std::uint8_t* data, std::size_t size) {
    if (!HasPinSetSignature(data, size) || size == kSignatureSize) throw PackageError("not a pin set");
    if (data[kSignatureSize] != PinSetVersion) throw PackageError("a pin set of another version");
    return ReadPackageRecord(data + kSignatureSize + 1, size - kSignatureSize - 1);
}

}  // namespace velvane

namespace velvane {

PackageBag ReadPinSetFrom(const ReadAt& read, std::uint64_t size, std::size_t inMemory, std::map<std::wstring, StoredRange>& left) {
    std::uint8_t start[kSignatureSize + 1];
    if (size <= kSignatureSize || !read(0, start, sizeof start) || !HasPinSetSignature(start, sizeof start)) throw PackageError("not a pin set");
    if (start[kSignatureSize] != PinSetVersion) throw PackageError("a pin set of another version");
    return ReadPackageRecordFrom(read, sizeof start, size, inMemory, left);
}

}  // namespace velvane

#pragma once
// The values a self-contained program file carries: named, kind-tagged, in writing order.
//
// Encoding (all integers little-endian), written and read only by this program:
//   bag    = "VVB1" count:u32 entry*count            (nothing may follow)
//   entry  = nameLength:u16 name:UTF-16LE[nameLength] kind:u8 value
//   value  = Int32 4 bytes | Int16 2 | Single 4 (IEEE) | Double 8 (IEEE) | Boolean 1 (0 or 1)
//          | Text length:u32 UTF-16LE[length] | Bytes length:u32 byte[length]
//   record = "VVR1" length:u32 bag[length]            (follows the program part)
// Reading checks every length and kind against the bytes really there.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace velvane {

enum class ValueKind : std::uint8_t { Int32 = 1, Int16 = 2, Single = 3, Double = 4, Boolean = 5, Text = 6, Bytes = 7 };

using PackageValue =
    std::variant<std::int32_t, std::int16_t, float, double, bool, std::wstring, std::vector<std::uint8_t>>;

ValueKind KindOf(const PackageValue& value);

// More entries than this make a damaged package.
constexpr std::uint32_t kMaxPackageEntries = 1u << 17;

class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PackageBag {
public:
    // Adds the value under the name; a name written again keeps its place, takes the new value.
    void WriteValue(const std::wstring& name, PackageValue value);
    // Throws PackageError when the name is absent.
    const PackageValue& ReadValue(const std::wstring& name) const;
    bool Has(const std::wstring& name) const;

    std::vector<std::uint8_t> SaveContents() const;
    // Replaces the contents; throws PackageError (contents unchanged) when the bytes are no bag.
    void LoadContents(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::pair<std::wstring, PackageValue>>& Entries() const { return entries_; }

private:
    std::vector<std::pair<std::wstring, PackageValue>> entries_;
    // Where each name stands in entries_: a bag of many entries is read in linear time.
    std::unordered_map<std::wstring, std::size_t> index_;
};

// Typed reading: throws PackageError when the name is absent or holds another kind.
template <class T>
const T& ReadAs(const PackageBag& bag, const std::wstring& name) {
    const T* value = std::get_if<T>(&bag.ReadValue(name));
    if (!value) throw PackageError("a package value has the wrong kind");
    return *value;
}

// Stored values compared and converted by value, whatever kind a build wrote them as:
// any number, a Boolean (True is -1), or text that is wholly a number. Empty for bytes
// and for text that is no number.
std::optional<double> NumberOf(const PackageValue& value);
// A Boolean, any value NumberOf reads (non-zero is true), or the text "True" or "False".
std::optional<bool> BooleanOf(const PackageValue& value);

// A bag written piece by piece, so that large values can be streamed from elsewhere: its
// start, then each entry whole, or a Bytes entry's start followed by its length in bytes.
std::vector<std::uint8_t> EncodeBagStart(std::uint32_t count);
std::vector<std::uint8_t> EncodeEntry(const std::wstring& name, const PackageValue& value);
std::vector<std::uint8_t> EncodeBytesEntryStart(const std::wstring& name, std::uint32_t length);

// Reading a bag from a large source (a file) without holding its large values: read(offset,
// into, size) gives bytes of the source; each image (a byte value named "Ras...") of more than
// inMemory bytes is left there, read as empty, its place in the source noted under its name in
// left. Other values are read whole. Throws
// PackageError as LoadContents does.
struct StoredRange {
    std::uint64_t offset, length;
    bool operator==(const StoredRange& o) const { return offset == o.offset && length == o.length; }
};
using ReadAt = std::function<bool(std::uint64_t offset, std::uint8_t* into, std::size_t size)>;
PackageBag LoadContentsFrom(const ReadAt& read, std::uint64_t offset, std::uint64_t length, std::size_t inMemory,
                            std::map<std::wstring, StoredRange>& left);

// The record that carries a serialised bag and its own length.
std::vector<std::uint8_t> MakePackageRecord(const std::vector<std::uint8_t>& bag);
// The bag of the record at an offset of a source of that size, read as LoadContentsFrom does.
PackageBag ReadPackageRecordFrom(const ReadAt& read, std::uint64_t offset, std::uint64_t size, std::size_t inMemory,
                                 std::map<std::wstring, StoredRange>& left);
// The bag bytes of the record at the start of data; throws PackageError when there is none.
std::vector<std::uint8_t> ReadPackageRecord(const std::uint8_t* data, std::size_t available);

}  // namespace velvane

#include "core/PackageBag.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

#include "core/NumberReading.h"

namespace velvane {
namespace {

constexpr std::uint8_t kBagMagic[4] = {'V', 'V', 'B', '1'};
constexpr std::uint8_t kRecordMagic[4] = {'V', 'V', 'R', '1'};

class Writer {
public:
    void Raw(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        out.insert(out.end(), p, p + size);
    }
    template <class T>
    void Little(T value, int bytes) {
        std::uint64_t v = 0;
        std::memcpy(&v, &value, sizeof(T));
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void Wide(const std::wstring& text) {
        for (wchar_t c : text) Little<std::uint16_t>(static_cast<std::uint16_t>(c), 2);
    }
    std::vector<std::uint8_t> out;
};

// Reads a bag from a source read piece by piece (memory, or a file): byte values larger
// than inMemory are left where they are, their place noted, so that memory holds the small
// values only. Every length is checked against the bytes really there.
class SourceReader {
public:
    SourceReader(const ReadAt& read, std::uint64_t offset, std::uint64_t size, std::size_t inMemory)
        : read_(read), start_(offset), at_(offset), end_(offset + size), inMemory_(inMemory) {}
    const std::uint8_t* Take(std::size_t bytes) {
        if (bytes > end_ - at_) throw PackageError("a package length runs past its end");
        scratch_.resize(bytes);
        if (bytes && !read_(at_, scratch_.data(), bytes)) throw PackageError("a package cannot be read");
        at_ += bytes;
        return scratch_.data();
    }
    std::uint64_t Little(int bytes) {
        const std::uint8_t* p = Take(static_cast<std::size_t>(bytes));
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
        return v;
    }
    std::wstring Wide(std::size_t units) {
        if (units > (end_ - at_) / 2) throw PackageError("a package text runs past its end");
        const std::uint8_t* p = Take(units * 2);
        std::wstring text(units, L'\0');
        for (std::size_t i = 0; i < units; ++i) text[i] = static_cast<wchar_t>(p[2 * i] | p[2 * i + 1] << 8);
        return text;
    }
    bool AtEnd() const { return at_ == end_; }
    std::uint64_t Size() const { return end_ - start_; }
    PackageValue Bytes(std::size_t length) {
        if (length > end_ - at_) throw PackageError("a package length runs past its end");
        if (length <= inMemory_ || !mayLeave_) {
            std::vector<std::uint8_t> bytes(length);
            if (length && !read_(at_, bytes.data(), length)) throw PackageError("a package cannot be read");
            at_ += length;
            return bytes;
        }
        left_ = StoredRange{at_, length};
        at_ += length;
        return std::vector<std::uint8_t>{};
    }
    // Where the last byte value read was left, once.
    std::optional<StoredRange> TakeLeft() { return std::exchange(left_, std::nullopt); }
    // Only images are left in their file; every other value (a window's marks) is read whole.
    void ReadingEntry(const std::wstring& name) { mayLeave_ = name.compare(0, 3, L"Ras") == 0; }

private:
    const ReadAt& read_;
    std::uint64_t start_, at_, end_;
    std::size_t inMemory_;
    bool mayLeave_ = true;
    std::vector<std::uint8_t> scratch_;
    std::optional<StoredRange> left_;
};

template <class T>
T Bits(std::uint64_t v) {
    T value;
    std::memcpy(&value, &v, sizeof(T));
    return value;
}

template <class In>
PackageValue ReadValueOfKind(In& in, std::uint8_t kind) {
    switch (static_cast<ValueKind>(kind)) {
    case ValueKind::Int32: return static_cast<std::int32_t>(static_cast<std::uint32_t>(in.Little(4)));
    case ValueKind::Int16: return static_cast<std::int16_t>(static_cast<std::uint16_t>(in.Little(2)));
    case ValueKind::Single: return Bits<float>(in.Little(4));
    case ValueKind::Double: return Bits<double>(in.Little(8));
    case ValueKind::Boolean: {
        const std::uint64_t b = in.Little(1);
        if (b > 1) throw PackageError("a package Boolean is neither 0 nor 1");
        return b == 1;
    }
    case ValueKind::Text: return in.Wide(static_cast<std::size_t>(in.Little(4)));
    case ValueKind::Bytes: return in.Bytes(static_cast<std::size_t>(in.Little(4)));
    }
    throw PackageError("a package value has an unknown kind");
}

}  // namespace

ValueKind KindOf(const PackageValue& value) { return static_cast<ValueKind>(value.index() + 1); }

void PackageBag::WriteValue(const std::wstring& name, PackageValue value) {
    const auto [at, added] = index_.emplace(name, entries_.size());
    if (!added) {
        entries_[at->second].second = std::move(value);
        return;
    }
    try {
        entries_.emplace_back(name, std::move(value));
    } catch (...) {
        index_.erase(at);
        throw;
    }
}

const PackageValue& PackageBag::ReadValue(const std::wstring& name) const {
    const auto at = index_.find(name);
    if (at == index_.end()) throw PackageError("the package holds no value of that name");
    return entries_[at->second].second;
}

bool PackageBag::Has(const std::wstring& name) const { return index_.count(name) != 0; }

std::vector<std::uint8_t> EncodeBagStart(std::uint32_t count) {
    Writer out;
    out.Raw(kBagMagic, 4);
    out.Little<std::uint32_t>(count, 4);
    return std::move(out.out);
}

std::vector<std::uint8_t> EncodeBytesEntryStart(const std::wstring& name, std::uint32_t length) {
    Writer out;
    out.Little<std::uint16_t>(static_cast<std::uint16_t>(name.size()), 2);
    out.Wide(name);
    out.Little<std::uint8_t>(static_cast<std::uint8_t>(ValueKind::Bytes), 1);
    out.Little<std::uint32_t>(length, 4);
    return std::move(out.out);
}

std::vector<std::uint8_t> EncodeEntry(const std::wstring& name, const PackageValue& value) {
    Writer out;
    out.Little<std::uint16_t>(static_cast<std::uint16_t>(name.size()), 2);
    out.Wide(name);
    out.Little<std::uint8_t>(static_cast<std::uint8_t>(KindOf(value)), 1);
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                out.Little<std::uint32_t>(static_cast<std::uint32_t>(v.size()), 4);
                out.Wide(v);
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                out.Little<std::uint32_t>(static_cast<std::uint32_t>(v.size()), 4);
                out.Raw(v.data(), v.size());
            } else if constexpr (std::is_same_v<T, bool>) {
                out.Little<std::uint8_t>(v ? 1 : 0, 1);
            } else {
                out.Little<T>(v, sizeof(T));
            }
        },
        value);
    return std::move(out.out);
}

std::vector<std::uint8_t> PackageBag::SaveContents() const {
    std::vector<std::uint8_t> out = EncodeBagStart(static_cast<std::uint32_t>(entries_.size()));
    for (const auto& [name, value] : entries_) {
        const std::vector<std::uint8_t> entry = EncodeEntry(name, value);
        out.insert(out.end(), entry.begin(), entry.end());
    }
    return out;
}

namespace {

// Every entry, checked; afterEach(name) runs once each is read.
template <class In, class AfterEach>
std::vector<std::pair<std::wstring, PackageValue>> ReadEntries(In& in, AfterEach afterEach) {
    if (std::memcmp(in.Take(4), kBagMagic, 4) != 0) throw PackageError("the bytes are no package");
    const std::uint64_t count = in.Little(4);
    // Every entry takes at least four bytes: a count beyond that is a lie. No set of pins comes
    // near the bound (a copy holds at most 10,000 windows, nine entries each).
    if (count > in.Size() / 4) throw PackageError("a package count runs past its end");
    if (count > kMaxPackageEntries) throw PackageError("a package holds more entries than any set of pins");
    std::vector<std::pair<std::wstring, PackageValue>> entries;
    std::set<std::wstring> names;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::wstring name = in.Wide(static_cast<std::size_t>(in.Little(2)));
        in.ReadingEntry(name);
        const auto kind = static_cast<std::uint8_t>(in.Little(1));
        PackageValue value = ReadValueOfKind(in, kind);
        if (!names.insert(name).second) throw PackageError("a package names a value twice");
        afterEach(name);
        entries.emplace_back(std::move(name), std::move(value));
    }
    if (!in.AtEnd()) throw PackageError("bytes follow the package");
    return entries;
}

}  // namespace

namespace {

// A reader over bytes in memory.
ReadAt InMemory(const std::uint8_t* data, std::size_t size) {
    return [data, size](std::uint64_t at, std::uint8_t* into, std::size_t bytes) {
        return at <= size && bytes <= size - at && (std::memcpy(into, data + at, bytes), true);
    };
}

}  // namespace

void PackageBag::LoadContents(const std::vector<std::uint8_t>& bytes) {
    const ReadAt read = InMemory(bytes.data(), bytes.size());
    SourceReader in(read, 0, bytes.size(), SIZE_MAX);
    PackageBag loaded;
    for (auto& [name, value] : ReadEntries(in, [](const std::wstring&) {})) loaded.WriteValue(name, std::move(value));
    *this = std::move(loaded);
}

PackageBag LoadContentsFrom(const ReadAt& read, std::uint64_t offset, std::uint64_t length, std::size_t inMemory,
                            std::map<std::wstring, StoredRange>& left) {
    SourceReader in(read, offset, length, inMemory);
    std::map<std::wstring, StoredRange> ranges;
    PackageBag bag;
    for (auto& [name, value] : ReadEntries(in, [&](const std::wstring& name) {
             if (const auto range = in.TakeLeft()) ranges[name] = *range;
         }))
        bag.WriteValue(name, std::move(value));
    left = std::move(ranges);
    return bag;
}

std::optional<double> NumberOf(const PackageValue& value) {
    return std::visit(
        [](const auto& v) -> std::optional<double> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::wstring>) return ReadWholeNumber(v);
            else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) return std::nullopt;
            else if constexpr (std::is_same_v<T, bool>) return v ? -1.0 : 0.0;
            else return static_cast<double>(v);
        },
        value);
}

std::optional<bool> BooleanOf(const PackageValue& value) {
    if (const auto* b = std::get_if<bool>(&value)) return *b;
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        std::wstring word;
        for (wchar_t c : *text)
            if (c != L' ') word.push_back(c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c);
        if (word == L"true") return true;
        if (word == L"false") return false;
    }
    const auto number = NumberOf(value);
    if (!number) return std::nullopt;
    return *number != 0;
}

std::vector<std::uint8_t> MakePackageRecord(const std::vector<std::uint8_t>& bag) {
    Writer out;
    out.Raw(kRecordMagic, 4);
    out.Little<std::uint32_t>(static_cast<std::uint32_t>(bag.size()), 4);
    out.Raw(bag.data(), bag.size());
    return std::move(out.out);
}

PackageBag ReadPackageRecordFrom(const ReadAt& read, std::uint64_t offset, std::uint64_t size, std::size_t inMemory,
                                 std::map<std::wstring, StoredRange>& left) {
    std::uint8_t start[8];
    if (size < offset || size - offset < sizeof start || !read(offset, start, sizeof start) || std::memcmp(start, kRecordMagic, 4) != 0)
        throw PackageError("no package record here");
    const std::uint64_t length = start[4] | start[5] << 8 | start[6] << 16 | static_cast<std::uint64_t>(start[7]) << 24;
    if (length > size - offset - sizeof start) throw PackageError("a package length runs past its end");
    return LoadContentsFrom(read, offset + sizeof start, length, inMemory, left);
}

std::vector<std::uint8_t> ReadPackageRecord(const std::uint8_t* data, std::size_t available) {
    const ReadAt read = InMemory(data, available);
    SourceReader in(read, 0, available, 0);
    if (std::memcmp(in.Take(4), kRecordMagic, 4) != 0) throw PackageError("no package record here");
    const std::uint64_t length = in.Little(4);
    if (length > available - 8) throw PackageError("a package length runs past its end");
    return std::vector<std::uint8_t>(data + 8, data + 8 + length);
}

}  // namespace velvane

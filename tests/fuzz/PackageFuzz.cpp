// Fuzz target: the package record reader and the bag reader, for copies and pin sets, whole
// and piece by piece, and the reader of a pin's marks.
// Anything may come in; nothing may crash, hang or leak, and what is accepted writes back byte
// for byte: a reader that lets a stray Boolean byte, a second entry of one name or a wrong
// count through, or drops or changes anything, fails here.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/Marks.h"
#include "core/PackageBag.h"
#include "core/PinSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velvane;
    std::optional<std::vector<std::uint8_t>> whole;  // the bag's contents, once read whole and accepted
    try {
        // A pin set is the same record behind a signature: one reader for both.
        const std::vector<std::uint8_t> contents = HasPinSetSignature(data, size) ? ReadPinSet(data, size) : ReadPackageRecord(data, size);
        PackageBag bag;
        bag.LoadContents(contents);
        std::set<std::wstring> names;
        for (const auto& entry : bag.Entries())
            if (!names.insert(entry.first).second) std::abort();
        if (bag.SaveContents() != contents) std::abort();
        whole = contents;
    } catch (const PackageError&) {
    }
    // Read piece by piece, images left in place: the same bag once they are put back, or the same refusal.
    const ReadAt read = [&](std::uint64_t at, std::uint8_t* into, std::size_t n) {
        return at <= size && n <= size - at && (std::copy_n(data + at, n, into), true);
    };
    try {
        std::map<std::wstring, StoredRange> left;
        PackageBag lazy = HasPinSetSignature(data, size) ? ReadPinSetFrom(read, size, 3, left) : ReadPackageRecordFrom(read, 0, size, 3, left);
        for (const auto& [name, range] : left)
            lazy.WriteValue(name, std::vector<std::uint8_t>(data + range.offset, data + range.offset + range.length));
        if (!whole || lazy.SaveContents() != *whole) std::abort();
    } catch (const PackageError&) {
        if (whole) std::abort();
    }
    if (const std::optional<PinMarks> marks = PinMarks::Decode(data, size)) {
        const std::vector<std::uint8_t> again = marks->Encode();
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    }
    return 0;
}

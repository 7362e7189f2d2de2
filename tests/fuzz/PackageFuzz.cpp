// Fuzz target: the package record reader and the bag reader, for copies and pin sets. Anything may come in; nothing may crash, hang or leak, and what is
// accepted writes back byte for byte: a reader that lets a stray Boolean byte, a second
// entry of one name or a wrong count through, or drops or changes anything, fails here.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "package/PackageBag.h"
#include "package/PinSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velvane;
    try {
        // A pin set is the same record behind a signature: one reader for both.
        const std::vector<std::uint8_t> contents = HasPinSetSignature(data, size) ? ReadPinSet(data, size) : ReadPackageRecord(data, size);
        PackageBag bag;
        bag.LoadContents(contents);
        std::set<std::wstring> names;
        for (const auto& entry : bag.Entries())
            if (!names.insert(entry.first).second) std::abort();
        if (bag.SaveContents() != contents) std::abort();
    } catch (const PackageError&) {
    }
    return 0;
}

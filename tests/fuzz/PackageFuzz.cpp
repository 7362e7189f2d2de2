// Fuzz target: the package record reader and the bag reader, the program's only parser
// of outside data. Anything may come in; nothing may crash, hang or leak.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/PackageBag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velvane;
    try {
        PackageBag bag;
        bag.LoadContents(ReadPackageRecord(data, size));
        // What was read writes back, and reads again, to the same bytes (compared as bytes:
        // a NaN read from the package is not equal to itself).
        const std::vector<std::uint8_t> saved = bag.SaveContents();
        PackageBag again;
        again.LoadContents(saved);
        if (again.SaveContents() != saved) std::abort();
    } catch (const PackageError&) {
    }
    try {
        PackageBag bag;
        bag.LoadContents(std::vector<std::uint8_t>(data, data + size));
    } catch (const PackageError&) {
    }
    return 0;
}

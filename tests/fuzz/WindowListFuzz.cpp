// Fuzz target: the shared list of open windows, whatever another program or an older
// copy left in it. The input is the list ("Count|1|2|...", "~" for a missing value), a
// line break, then steps ("a7" add, "r7" remove, "c" close all, "l" list). After each
// step the list holds what the step promises, never more than its limit, and close-all
// hands each value over once and ends with only the windows it could not reach (here,
// multiples of 7) listed.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "../portable/MapStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velvane;
    const std::string input(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 4096));
    const std::size_t lineEnd = std::min(input.find('\n'), input.size());
    MapStore store;
    store.values = ListOf(std::wstring(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(lineEnd)));

    std::istringstream steps(input.substr(std::min(lineEnd + 1, input.size())));
    for (std::string step; steps >> step;) {
        const std::int32_t handle = static_cast<std::int32_t>(std::strtol(step.c_str() + 1, nullptr, 10));
        std::vector<std::int32_t> handed;
        if (step[0] == 'a' || step[0] == 'r') UpdateWindowList(store, handle, step[0] == 'a');
        if (step[0] == 'c') CloseAllListed(store, [&](std::int32_t h) { return handed.push_back(h), h % 7 != 0; });
        const std::vector<std::int32_t> listed = ListedWindows(store);
        const auto times = [&](std::int32_t h) { return std::count(listed.begin(), listed.end(), h); };
        std::sort(handed.begin(), handed.end());
        if (listed.size() > 32767 || std::adjacent_find(handed.begin(), handed.end()) != handed.end() ||
            (step[0] == 'c' && (std::any_of(listed.begin(), listed.end(), [](std::int32_t h) { return h % 7 != 0; }) ||
                                std::any_of(handed.begin(), handed.end(), [&](std::int32_t h) { return h % 7 == 0 && times(h) != 1; }))) || (step[0] == 'r' && handle && times(handle)) ||
            (step[0] == 'a' && handle && listed.size() < 32767 && (times(handle) != 1 || listed.back() != handle)))
            std::abort();
    }
    return 0;
}

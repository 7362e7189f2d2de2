#pragma once
// Shared by the table tests: a row's name in failure messages, a menu's marks, and the committed
// fuzz seeds that the readers' tests read.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velvane {

inline std::string Row(const std::wstring& text) { return ::testing::PrintToString(text); }

// The index of the one checked item; -1 for none, -2 for more than one.
template <class Items>
int Checked(const Items& items) {
    int found = -1;
    for (std::size_t i = 0; i < items.size(); ++i) found = items[i].checked ? (found == -1 ? static_cast<int>(i) : -2) : found;
    return found;
}

#ifdef VELVANE_SEEDS
// The bytes of tests/fuzz/corpus/<target>/<name>.
inline std::vector<std::uint8_t> Seed(const std::string& target, const std::string& name) {
    std::ifstream in(std::string(VELVANE_SEEDS) + "/" + target + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}
#endif

}  // namespace velvane

#pragma once
// Shared by the table tests: a row's name in failure messages, and a menu's marks.

#include <gtest/gtest.h>

#include <string>

namespace velvane {

inline std::string Row(const std::wstring& text) { return ::testing::PrintToString(text); }

// The index of the one checked item; -1 for none, -2 for more than one.
template <class Items>
int Checked(const Items& items) {
    int found = -1;
    for (std::size_t i = 0; i < items.size(); ++i) found = items[i].checked ? (found == -1 ? static_cast<int>(i) : -2) : found;
    return found;
}

}  // namespace velvane

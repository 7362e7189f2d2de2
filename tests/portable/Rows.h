#pragma once
// Names a table row in a failure message.

#include <gtest/gtest.h>

#include <string>

namespace velvane {

inline std::string Row(const std::wstring& text) { return ::testing::PrintToString(text); }

}  // namespace velvane

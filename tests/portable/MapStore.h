#pragma once
// The list of open windows kept in memory, counting what is done to it.

#include <map>
#include <string>

#include "core/WindowList.h"

namespace velvane {

struct MapStore : WindowListStore {
    std::map<std::wstring, std::wstring> values;
    int writes = 0;
    std::optional<std::wstring> Read(const std::wstring& key) override { return values.count(key) ? std::optional(values[key]) : std::nullopt; }
    void Write(const std::wstring& key, const std::wstring& value) override { ++writes, values[key] = value; }
    void Delete(const std::wstring& key) override { ++writes, values.erase(key); }
};

}  // namespace velvane

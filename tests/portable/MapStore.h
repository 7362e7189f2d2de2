#pragma once
// The list of open windows kept in memory, counting what is done to it.

#include <map>
#include <sstream>
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

// A list written as "Count|1|2|...": "~" for a value that is not there, "" for no list at all.
inline std::map<std::wstring, std::wstring> ListOf(const std::wstring& text) {
    std::map<std::wstring, std::wstring> values;
    std::wistringstream parts(text);
    int key = 0;
    for (std::wstring part; std::getline(parts, part, L'|'); ++key)
        if (part != L"~") values[key ? std::to_wstring(key) : L"Count"] = part;
    return values;
}

}  // namespace velvane

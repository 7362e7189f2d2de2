#pragma once
// Watches calls the program makes into a system DLL by swapping this executable's import
// entry for a recording function; the product's code is not touched.

#include "common/Scoped.h"

namespace velvane::testing {

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool installed() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace velvane::testing

#pragma once
// Holds one reference to a COM object, released when it goes.

namespace velvane {

template <class Interface>
struct ComPtr {
    Interface* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
    Interface* operator->() const { return p; }
};

}  // namespace velvane

#pragma once
// Accepts lists of files dropped onto a logo window (OLE drag and drop).

#include "common/Scoped.h"

#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace velvane {

class LogoDropTarget : public IDropTarget {
public:
    using FilesDropped = std::function<void(std::vector<std::wstring>)>;
    explicit LogoDropTarget(FilesDropped onDrop) : onDrop_(std::move(onDrop)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

private:
    virtual ~LogoDropTarget() = default;

    ULONG references_ = 1;
    bool acceptable_ = false;
    FilesDropped onDrop_;
};

}  // namespace velvane

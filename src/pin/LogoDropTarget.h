#pragma once
// Accepts images dropped onto a logo window (OLE drag and drop): files, virtual files and
// image data, as DroppedImages takes them.

#include "common/Scoped.h"

#include <ole2.h>

#include <functional>

#include "system/DroppedFiles.h"

namespace velvane {

class LogoDropTarget : public IDropTarget {
public:
    // With the point of the drop on the screen.
    using ImagesDropped = std::function<void(DroppedImages, POINT)>;
    explicit LogoDropTarget(ImagesDropped onDrop) : onDrop_(std::move(onDrop)) {}

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
    ImagesDropped onDrop_;
};

}  // namespace velvane

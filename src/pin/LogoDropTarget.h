#pragma once
// Accepts images dropped onto a logo window (OLE drag and drop): files, virtual files and
// image data, as DroppedImages takes them.

#include "common/ComObject.h"
#include "common/Scoped.h"

#include <ole2.h>

#include <functional>

#include "system/DroppedFiles.h"

namespace velvane {

class LogoDropTarget : public ComObject<IDropTarget, IID_IDropTarget> {
public:
    // With the point of the drop on the screen.
    using ImagesDropped = std::function<void(DroppedImages, POINT)>;
    explicit LogoDropTarget(ImagesDropped onDrop) : onDrop_(std::move(onDrop)) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

private:
    ~LogoDropTarget() override = default;

    bool acceptable_ = false;
    ImagesDropped onDrop_;
};

}  // namespace velvane

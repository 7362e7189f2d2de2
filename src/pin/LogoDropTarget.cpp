#include "pin/LogoDropTarget.h"

#include <exception>

namespace velvane {
HRESULT LogoDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = OffersImages(data);
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT LogoDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT LogoDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT LogoDropTarget::Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) {
    acceptable_ = false;
    *effect = DROPEFFECT_NONE;
    // Nothing may pass through OLE's code, which called this.
    try {
        // Read now: a virtual file's or image data's source need not serve them once the drop is over.
        DroppedImages images = TakeDroppedImages(data);
        if (images.empty()) return S_OK;
        onDrop_(std::move(images), {at.x, at.y});
        *effect = DROPEFFECT_COPY;
    } catch (const std::exception&) {
    }
    return S_OK;
}

}  // namespace velvane

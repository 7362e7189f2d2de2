#include "pin/LogoDropTarget.h"

#include "system/DroppedFiles.h"

#include <shellapi.h>

namespace velvane {
HRESULT LogoDropTarget::QueryInterface(REFIID riid, void** object) {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG LogoDropTarget::AddRef() { return ++references_; }

ULONG LogoDropTarget::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT LogoDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    FORMATETC format = FileListFormat();
    acceptable_ = data && data->QueryGetData(&format) == S_OK;
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

HRESULT LogoDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    std::vector<std::wstring> paths = DroppedPaths(data);
    *effect = paths.empty() ? DROPEFFECT_NONE : DROPEFFECT_COPY;
    acceptable_ = false;
    if (!paths.empty()) onDrop_(std::move(paths));
    return S_OK;
}

}  // namespace velvane

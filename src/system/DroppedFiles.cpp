#include "system/DroppedFiles.h"

#include <shellapi.h>

#include <optional>

#include "system/DataMedium.h"
#include "system/ImageData.h"
#include "system/TempFiles.h"
#include "system/VirtualFiles.h"

namespace velvane {
namespace {

FORMATETC ImageDataFormat(UINT format) { return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

FORMATETC DraggedPinFormat() { return ImageDataFormat(RegisterClipboardFormatW(L"Velvane dragged pin")); }

bool IsDraggedPin(IDataObject* data) {
    FORMATETC marker = DraggedPinFormat();
    return data && marker.cfFormat && data->QueryGetData(&marker) == S_OK;
}

std::vector<std::wstring> DroppedPaths(IDataObject* data) {
    std::vector<std::wstring> paths;
    const DataMedium medium(data, FileListFormat());
    const LockedGlobal block(medium.Global());
    if (auto* drop = reinterpret_cast<HDROP>(const_cast<BYTE*>(block.Bytes()))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

bool OffersImages(IDataObject* data) {
    if (!data) return false;
    FORMATETC files = FileListFormat();
    if (data->QueryGetData(&files) == S_OK || OffersVirtualFiles(data)) return true;
    for (UINT format : ImageDataFormats()) {
        FORMATETC image = ImageDataFormat(format);
        if (data->QueryGetData(&image) == S_OK) return true;
    }
    return false;
}

DroppedImages TakeDroppedImages(IDataObject* data) {
    DroppedImages dropped;
    if (!IsDraggedPin(data)) dropped.files = DroppedPaths(data);
    if (dropped.files.empty()) dropped.ownFiles = TakeVirtualFiles(data);
    for (UINT format : ImageDataFormats()) {
        if (!dropped.empty()) break;
        const DataMedium medium(data, ImageDataFormat(format));
        const std::optional<std::wstring> file = medium.Global() ? mMain::MakeTempFileName() : std::nullopt;
        if (file && WriteImageData(format, medium.Global(), *file)) dropped.ownFiles.push_back(*file);
        else if (file) mMain::DeleteFileForced(*file);
    }
    return dropped;
}

}  // namespace velvane

#include "system/GdiPlus.h"

#include <cstring>

namespace velvane {

GdipImage LoadImageBytes(const std::vector<std::uint8_t>& bytes) {
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    void* at = memory ? GlobalLock(memory.get()) : nullptr;
    if (!at) return nullptr;
    std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(memory.get());
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, &stream))) return nullptr;
    memory.release();  // the stream's now, freed with it
    Gdiplus::GpImage* image = nullptr;
    const bool loaded = gdip::GdipLoadImageFromStream(stream, &image) == Gdiplus::Ok;
    stream->Release();  // GDI+ holds its own reference for as long as it needs the bytes
    return loaded ? GdipImage(image) : nullptr;
}

}  // namespace velvane

#include "image/ImageSource.h"

#include "core/ImageLimits.h"

#include <cstring>
#include <optional>

#include "system/ProgramFile.h"

namespace velvane {
namespace {

// GDI+'s frame dimension of animations (FrameDimensionTime), kept here rather than linked.
constexpr GUID kTimeFrames = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};

// The image's own pixels as premultiplied BGRA, written into the given rows. GDI+
// converts them straight into our buffer where it can; an image it cannot lock that
// way is drawn instead.
bool DecodeWithGdiplus(Gdiplus::GpImage* image, const Pixels& into) {
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image);
    Gdiplus::GpRect whole{0, 0, into.width, into.height};
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(into.width);
    data.Height = static_cast<UINT>(into.height);
    data.Stride = static_cast<INT>(into.stride);
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = into.rows;
    if (gdip::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                 PixelFormat32bppPARGB, &data) == Gdiplus::Ok)
        return gdip::GdipBitmapUnlockBits(bitmap, &data) == Gdiplus::Ok;

    Gdiplus::GpBitmap* target = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(into.width, into.height, static_cast<INT>(into.stride), PixelFormat32bppPARGB,
                                        into.rows, &target) != Gdiplus::Ok)
        return false;
    GdipBitmap surface(target);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(surface.get(), &graphics) != Gdiplus::Ok) return false;
    GdipGraphics drawing(graphics);
    return gdip::GdipDrawImageRectI(drawing.get(), image, 0, 0, into.width, into.height) == Gdiplus::Ok;
}

}  // namespace

bool IsGifFile(const std::wstring& path) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    char start[4] = {};
    DWORD read = 0;
    return file && ReadFile(file.get(), start, sizeof start, &read, nullptr) && read == 4 && std::memcmp(start, "GIF8", 4) == 0;
}

ImageSource::ImageSource(const std::wstring& path) : path_(path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file_.get() == INVALID_HANDLE_VALUE) file_.release();
    std::uint8_t signature[8];
    DWORD read = 0;
    if (file_ && ReadFile(file_.get(), signature, sizeof signature, &read, nullptr) && HasPngSignature(signature, read) &&
        SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) == 0) {
        HANDLE file = file_.get();
        png_ = std::make_unique<PngDecoder>([file](std::uint8_t* into, std::size_t length) {
            for (DWORD got = 0; length > 0; into += got, length -= got)
                if (!ReadFile(file, into, static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30)), &got, nullptr) || got == 0)
                    return false;
            return true;
        });
        if (const auto size = png_->Size()) {
            size_ = *size;
            return;
        }
        png_.reset();
    }
    file_.reset();
    LoadWithGdiplus();
}


void ImageSource::LoadWithGdiplus() {
    // A GIF may animate, and then GDI+ reads it for the window's life: from memory, so the
    // user can still delete or replace the file, and a temporary one can go with its window.
    std::optional<std::vector<std::uint8_t>> bytes;
    if (IsGifFile(path_)) bytes = ReadFileFrom(path_);
    image_ = bytes ? LoadImageBytes(*bytes) : LoadImageFile(path_);
    UINT width = 0, height = 0;
    if (image_) {
        gdip::GdipGetImageWidth(image_.get(), &width);
        gdip::GdipGetImageHeight(image_.get(), &height);
    }
    // An image the program cannot hold reads as no image.
    if (!ImageSizeFits(width, height)) image_.reset();
    size_ = image_ ? std::pair{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)} : std::pair{0, 0};
}

bool ImageSource::Decode(const Pixels& into) {
    if (png_) {
        const bool decoded = png_->Decode(into);
        png_.reset();
        file_.reset();
        if (decoded) return true;
        // Data libspng refuses midway: GDI+ has its say, as it always had.
        LoadWithGdiplus();
        if (size_ != std::pair{into.width, into.height}) return false;
    }
    const bool decoded = image_ && DecodeWithGdiplus(image_.get(), into);
    if (!keep_) image_.reset();
    return decoded;
}

ImageSource::Frames ImageSource::AnimationFrames() const {
    Frames frames;
    UINT count = 0, bytes = 0;
    if (!image_ || gdip::GdipImageGetFrameCount(image_.get(), &kTimeFrames, &count) != Gdiplus::Ok || count < 2) return frames;
    const auto property = [&](PROPID id) {
        std::vector<std::uint8_t> item;
        if (gdip::GdipGetPropertyItemSize(image_.get(), id, &bytes) == Gdiplus::Ok && bytes >= sizeof(Gdiplus::PropertyItem)) {
            item.resize(bytes);
            if (gdip::GdipGetPropertyItem(image_.get(), id, bytes, reinterpret_cast<Gdiplus::PropertyItem*>(item.data())) != Gdiplus::Ok)
                item.clear();
        }
        return item;
    };
    const std::vector<std::uint8_t> delays = property(PropertyTagFrameDelay), loops = property(PropertyTagLoopCount);
    const auto* delayItem = reinterpret_cast<const Gdiplus::PropertyItem*>(delays.data());
    for (UINT i = 0; i < count; ++i) {
        std::uint32_t delay = 0;  // a frame the file gives no delay gets the shortest, which shows as 100 ms
        if (!delays.empty() && (i + 1) * sizeof delay <= delayItem->length)
            std::memcpy(&delay, static_cast<const std::uint8_t*>(delayItem->value) + i * sizeof delay, sizeof delay);
        frames.delays.push_back(delay);
    }
    const auto* loopItem = reinterpret_cast<const Gdiplus::PropertyItem*>(loops.data());
    if (!loops.empty() && loopItem->length >= sizeof(std::uint16_t)) {
        std::uint16_t loopCount = 0;
        std::memcpy(&loopCount, loopItem->value, sizeof loopCount);
        frames.loopCount = loopCount;
    }
    return frames;
}

bool ImageSource::SelectFrame(std::size_t index) {
    keep_ = true;
    return image_ && gdip::GdipImageSelectActiveFrame(image_.get(), &kTimeFrames, static_cast<UINT>(index)) == Gdiplus::Ok;
}

}  // namespace velvane

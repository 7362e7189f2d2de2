#include "image/ImageSource.h"

#include "core/FileOrientation.h"
#include "core/FrameTiming.h"
#include "core/ImageLimits.h"

#include <algorithm>
#include <cstring>
#include <new>
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

// A GDI+ property item's bytes; empty when the image has none.
std::vector<std::uint8_t> PropertyBytes(Gdiplus::GpImage* image, PROPID id) {
    std::vector<std::uint8_t> item;
    UINT bytes = 0;
    if (gdip::GdipGetPropertyItemSize(image, id, &bytes) == Gdiplus::Ok && bytes >= sizeof(Gdiplus::PropertyItem)) {
        item.resize(bytes);
        if (gdip::GdipGetPropertyItem(image, id, bytes, reinterpret_cast<Gdiplus::PropertyItem*>(item.data())) != Gdiplus::Ok)
            item.clear();
    }
    return item;
}

// The orientation tag as GDI+ read it (a short, 1 to 8).
std::optional<int> OrientationProperty(Gdiplus::GpImage* image) {
    const std::vector<std::uint8_t> bytes = PropertyBytes(image, PropertyTagOrientation);
    const auto* item = reinterpret_cast<const Gdiplus::PropertyItem*>(bytes.data());
    if (bytes.empty() || item->type != PropertyTagTypeShort || item->length < sizeof(std::uint16_t)) return std::nullopt;
    std::uint16_t value = 0;
    std::memcpy(&value, item->value, sizeof value);
    return value;
}

bool ReadExactly(HANDLE file, std::uint8_t* into, std::size_t length) {
    for (DWORD got = 0; length > 0; into += got, length -= got)
        if (!ReadFile(file, into, static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30)), &got, nullptr) || got == 0)
            return false;
    return true;
}

// Up to length bytes of the file's start, the file left just after them.
std::vector<std::uint8_t> FileStart(HANDLE file, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    DWORD read = 0;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 || !ReadFile(file, bytes.data(), static_cast<DWORD>(length), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

std::vector<std::uint8_t> FileStart(const std::wstring& path, std::size_t length) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    return file ? FileStart(file.get(), length) : std::vector<std::uint8_t>{};
}

bool IsGif(const std::vector<std::uint8_t>& start) { return start.size() >= 4 && std::memcmp(start.data(), "GIF8", 4) == 0; }

// A WebP animates only with the animation flag of its extended header (the "VP8X" chunk).
bool IsAnimatedWebp(const std::vector<std::uint8_t>& start) {
    return HasWebpSignature(start.data(), start.size()) && start.size() >= 21 && std::memcmp(start.data() + 12, "VP8X", 4) == 0 &&
           (start[20] & 0x02) != 0;
}

}  // namespace

bool MayAnimate(const std::wstring& path) {
    const std::vector<std::uint8_t> start = FileStart(path, 21);
    return IsGif(start) || IsAnimatedWebp(start);
}

ImageSource::ImageSource(const std::wstring& path) : path_(path) {
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file_.get() == INVALID_HANDLE_VALUE) file_.release();
    const std::vector<std::uint8_t> signature = file_ ? FileStart(file_.get(), 12) : std::vector<std::uint8_t>{};
    if (HasPngSignature(signature.data(), signature.size()) && SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) == 0) {
        HANDLE file = file_.get();
        png_ = std::make_unique<PngDecoder>([file](std::uint8_t* into, std::size_t length) { return ReadExactly(file, into, length); });
        if (const auto size = png_->Size()) {
            size_ = *size;
            return;
        }
        png_.reset();
    }
    if (HasWebpSignature(signature.data(), signature.size()) && LoadWebp()) return;
    // A JPEG's or TIFF's turn, before GDI+ reads the pixels as stored; the bytes read may end
    // before the tag (a TIFF's directory can lie anywhere), but GDI+ has read the whole file.
    const std::vector<std::uint8_t> start = file_ ? FileStart(file_.get(), kExifOrientationBytes) : std::vector<std::uint8_t>{};
    std::optional<int> exif = ExifOrientationOf(start.data(), start.size());
    file_.reset();
    LoadWithGdiplus();
    if (!exif && image_) exif = OrientationProperty(image_.get());
    if (exif) stored_ = OrientationFromExif(*exif);
}

bool ImageSource::LoadWebp() {
    // libwebp reads from memory: the whole file, unless it is larger than any picture needs.
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file_.get(), &length) || length.QuadPart <= 0 || length.QuadPart > kMaxImageFileBytes) return false;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(length.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) != 0 || !ReadExactly(file_.get(), bytes.data(), bytes.size())) return false;
    webp_ = std::make_unique<WebpDecoder>(std::move(bytes));
    if (const auto size = webp_->Size()) {
        size_ = *size;
        file_.reset();
        return true;
    }
    webp_.reset();  // GDI+ has its say, as Windows may have a WebP codec of its own
    return false;
}

void ImageSource::LoadWithGdiplus() {
    // A GIF may animate, and then GDI+ reads it for the window's life: from memory, so the
    // user can still delete or replace the file, and a temporary one can go with its window.
    std::optional<std::vector<std::uint8_t>> bytes;
    if (IsGif(FileStart(path_, 4))) bytes = ReadFileFrom(path_);
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
    if (stored_ == Orientation{}) return DecodeStored(into);
    // Decoded as stored, then turned upright: a second buffer, for turned photos only.
    const auto [width, height] = size_;
    if (Size() != std::pair{into.width, into.height}) return false;
    std::vector<std::uint8_t> stored;
    try {
        stored.resize(4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::ptrdiff_t stride = 4 * static_cast<std::ptrdiff_t>(width);
    if (!DecodeStored({stored.data(), width, height, stride})) return false;
    TurnPixels({stored.data(), width, height, stride}, into, stored_);
    return true;
}

bool ImageSource::DecodeStored(const Pixels& into) {
    if (webp_) {
        const bool decoded = webp_->Decode(into, webpFrame_);
        if (!keep_) webp_.reset();
        return decoded;
    }
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
    if (webp_) {
        if (!webp_->Animated() || webp_->FrameCount() < 2) return frames;
        for (std::int32_t i = 0; i < webp_->FrameCount(); ++i) frames.delays.push_back(ShownDurationMs(webp_->DurationMs(i)));
        frames.loopCount = RepeatsOfPlays(webp_->LoopCount());
        return frames;
    }
    UINT count = 0;
    if (!image_ || gdip::GdipImageGetFrameCount(image_.get(), &kTimeFrames, &count) != Gdiplus::Ok || count < 2) return frames;
    const std::vector<std::uint8_t> delays = PropertyBytes(image_.get(), PropertyTagFrameDelay),
                                    loops = PropertyBytes(image_.get(), PropertyTagLoopCount);
    const auto* delayItem = reinterpret_cast<const Gdiplus::PropertyItem*>(delays.data());
    for (UINT i = 0; i < count; ++i) {
        std::uint32_t delay = 0;  // a frame the file gives no delay gets the shortest, which shows as 100 ms
        if (!delays.empty() && (i + 1) * sizeof delay <= delayItem->length)
            std::memcpy(&delay, static_cast<const std::uint8_t*>(delayItem->value) + i * sizeof delay, sizeof delay);
        frames.delays.push_back(ShownDelayMs(delay));
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
    if (webp_) {
        webpFrame_ = static_cast<std::int32_t>(index);
        return index < static_cast<std::size_t>(webp_->FrameCount());
    }
    return image_ && gdip::GdipImageSelectActiveFrame(image_.get(), &kTimeFrames, static_cast<UINT>(index)) == Gdiplus::Ok;
}

}  // namespace velvane

#include "system/PinSelection.h"

#include "core/ImageLimits.h"
#include "system/WindowRegistry.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kSelectedProperty[] = L"Velvane.Selected";
constexpr std::int32_t kHalf = 1 << 13;  // each small number takes 14 bits
constexpr std::size_t kPictureHeader = 6 * 4;

void PutInt(std::vector<std::uint8_t>& out, std::int32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

std::int32_t ReadInt(const std::uint8_t* at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | at[i];
    return static_cast<std::int32_t>(v);
}

}  // namespace

// 4 bits of act, then a and b: 32 bits, so the 32-bit and 64-bit programs read each other.
WPARAM PackSelection(const SelectionMessageArgs& args) {
    const auto field = [](std::int32_t v) { return static_cast<std::uint32_t>(v + kHalf) & 0x3FFF; };
    return static_cast<WPARAM>(static_cast<std::uint32_t>(args.act) | field(args.a) << 4 | field(args.b) << 18);
}

SelectionMessageArgs UnpackSelection(WPARAM wParam) {
    const auto bits = static_cast<std::uint32_t>(wParam);
    return {static_cast<SelectionAct>(bits & 0xF), static_cast<std::int32_t>((bits >> 4) & 0x3FFF) - kHalf,
            static_cast<std::int32_t>((bits >> 18) & 0x3FFF) - kHalf};
}

UINT SelectionMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velvane.Selection");
    return message;
}

void TellSelection(const SelectionMessageArgs& args, HWND except, UINT waitMs) {
    const WPARAM packed = PackSelection(args);
    for (HWND pin : AllRunningPins())
        if (pin != except)
            SendMessageTimeoutW(pin, SelectionMessage(), packed, static_cast<LPARAM>(GetCurrentProcessId()), SMTO_ABORTIFHUNG, waitMs, nullptr);
}

std::int32_t NewSelectionBatch() {
    // A count of this copy's own, mixed with its process id, within the message's 13 bits.
    static std::uint32_t count = 0;
    return static_cast<std::int32_t>((GetCurrentProcessId() * 2654435761u + ++count * 40503u) % 8000) + 1;
}

void PublishSelected(HWND pin, bool selected) {
    if (selected) SetPropW(pin, kSelectedProperty, reinterpret_cast<HANDLE>(1));
    else RemovePropW(pin, kSelectedProperty);
}

bool IsSelected(HWND pin) { return GetPropW(pin, kSelectedProperty) != nullptr; }

bool AnySelected() {
    for (HWND pin : AllRunningPins())
        if (IsSelected(pin)) return true;
    return false;
}

bool SendToCopy(HWND from, DWORD process, SelectionData kind, const std::vector<std::uint8_t>& bytes) {
    for (HWND pin : AllRunningPins()) {
        DWORD owner = 0;
        if (!GetWindowThreadProcessId(pin, &owner) || owner != process) continue;
        COPYDATASTRUCT data{static_cast<ULONG_PTR>(kind), static_cast<DWORD>(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
        DWORD_PTR taken = 0;
        // WM_COPYDATA's wParam names the sending window, by which the receiver checks who sends.
        if (SendMessageTimeoutW(pin, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                5000, &taken) && taken)
            return true;
    }
    return false;
}

std::vector<std::uint8_t> ClosedPinsMessage(std::int32_t batch, const std::vector<std::uint8_t>& package) {
    std::vector<std::uint8_t> out;
    PutInt(out, batch);
    out.insert(out.end(), package.begin(), package.end());
    return out;
}

std::vector<std::uint8_t> PictureMessage(std::int32_t batch, POINT place, std::int32_t width, std::int32_t height,
                                         const std::vector<std::uint8_t>& pixels, const std::wstring& file) {
    std::vector<std::uint8_t> out;
    out.reserve(kPictureHeader + pixels.size() + 2 * file.size());
    for (std::int32_t v : {batch, static_cast<std::int32_t>(place.x), static_cast<std::int32_t>(place.y), width, height,
                           static_cast<std::int32_t>(file.size())})
        PutInt(out, v);
    out.insert(out.end(), pixels.begin(), pixels.end());
    for (wchar_t c : file) out.insert(out.end(), {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF)});
    return out;
}

std::optional<std::int32_t> BatchOf(const std::uint8_t* data, std::size_t size) {
    return data && size >= 4 ? std::optional<std::int32_t>(ReadInt(data)) : std::nullopt;
}

std::optional<SelectionPicture> ReadPictureMessage(const std::uint8_t* data, std::size_t size) {
    if (!data || size < kPictureHeader) return std::nullopt;
    SelectionPicture p{ReadInt(data), ReadInt(data + 4), ReadInt(data + 8), ReadInt(data + 12), ReadInt(data + 16), data + kPictureHeader, {}};
    const std::int32_t fileLength = ReadInt(data + 20);
    // The sides must be a picture's, and with the name account for every byte that follows.
    if (!ImageSizeFits(p.width, p.height) || fileLength < 0 || fileLength > 32767 ||
        4 * static_cast<std::uint64_t>(p.width) * static_cast<std::uint64_t>(p.height) + 2 * static_cast<std::uint64_t>(fileLength) != size - kPictureHeader)
        return std::nullopt;
    const std::uint8_t* name = data + size - 2 * static_cast<std::size_t>(fileLength);
    for (std::int32_t i = 0; i < fileLength; ++i) p.file.push_back(static_cast<wchar_t>(name[2 * i] | name[2 * i + 1] << 8));
    return p;
}

}  // namespace velvane::mMain

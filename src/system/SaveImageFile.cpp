#include "system/SaveImageFile.h"

#include <shobjidl.h>

#include <cstdint>
#include <cwchar>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/ComPtr.h"
#include "common/ProgramTexts.h"
#include "core/ImageLimits.h"
#include "system/GdiPlus.h"
#include "system/SettingsSection.h"

namespace velvane {
namespace {

enum class Format { Png, Jpeg, Bmp };

constexpr const wchar_t* kFolderValue = L"SaveImageFolder";

// Not every toolchain's GDI+ headers carry the encoder parameter GUIDs.
constexpr GUID kEncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
constexpr ULONG kJpegQuality = 90;

std::wstring SettingsKeyPath() { return std::wstring(L"Software\\") + ProgramTitle + L"\\" + mMain::SettingsSection; }

bool SameText(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

std::size_t NameStart(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// The extension's position, at its dot, within the last part of the path; npos when none.
std::size_t ExtensionStart(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    return dot == std::wstring::npos || dot < NameStart(path) ? std::wstring::npos : dot;
}

std::optional<Format> FormatOfExtension(const std::wstring& path) {
    const std::size_t dot = ExtensionStart(path);
    if (dot == std::wstring::npos) return std::nullopt;
    const std::wstring extension = path.substr(dot + 1);
    if (SameText(extension, L"png")) return Format::Png;
    for (const wchar_t* jpeg : {L"jpg", L"jpeg", L"jpe", L"jfif"})
        if (SameText(extension, jpeg)) return Format::Jpeg;
    if (SameText(extension, L"bmp") || SameText(extension, L"dib")) return Format::Bmp;
    return std::nullopt;
}

// The pin's own name is offered as a PNG, the format that loses nothing.
std::wstring OfferedName(const std::wstring& suggested) {
    std::wstring name = suggested.substr(NameStart(suggested));
    const std::size_t dot = ExtensionStart(name);
    if (dot != std::wstring::npos) name.resize(dot);
    return (name.empty() ? std::wstring(L"Pin") : name) + L".png";
}

std::optional<std::wstring> ReadRememberedFolder() {
    const std::wstring key = SettingsKeyPath();
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kFolderValue, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
        bytes < sizeof(wchar_t) || bytes > 32768 * sizeof(wchar_t))
        return std::nullopt;
    std::wstring folder(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kFolderValue, RRF_RT_REG_SZ, nullptr, folder.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    folder.resize(wcsnlen(folder.c_str(), folder.size()));
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return folder;
}

// Best effort: a folder that cannot be remembered only costs the user a few clicks next time.
void RememberFolderOf(const std::wstring& path) {
    const std::size_t start = NameStart(path);
    if (start == 0) return;
    std::wstring folder = path.substr(0, start - 1);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:" alone means that drive's current folder
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return;
    const ScopedRegKey key(opened);
    RegSetValueExW(key.get(), kFolderValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

struct TaskMemoryFree {
    void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

struct Choice {
    std::wstring path;
    Format format;
};

// The owner passed to Show makes the dialog its owned window, so a top-most pin stays below it.
std::optional<Choice> AskForFile(HWND owner, const std::wstring& suggestedName) {
    ComPtr<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(&dialog.p))))
        return std::nullopt;
    // In the order of Format, which the chosen type's index follows.
    const COMDLG_FILTERSPEC types[] = {{L"PNG image (*.png)", L"*.png"},
                                       {L"JPEG image (*.jpg;*.jpeg)", L"*.jpg;*.jpeg"},
                                       {L"Bitmap image (*.bmp)", L"*.bmp"}};
    dialog->SetFileTypes(3, types);
    dialog->SetFileTypeIndex(1);
    dialog->SetDefaultExtension(L"png");
    dialog->SetFileName(OfferedName(suggestedName).c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    if (const std::optional<std::wstring> folder = ReadRememberedFolder()) {
        ComPtr<IShellItem> item;
        if (SUCCEEDED(SHCreateItemFromParsingName(folder->c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&item.p))))
            dialog->SetFolder(item.p);
    }
    ComPtr<IShellItem> chosen;
    wchar_t* path = nullptr;
    if (FAILED(dialog->Show(IsWindow(owner) ? owner : nullptr)) || FAILED(dialog->GetResult(&chosen.p)) ||
        FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return std::nullopt;
    const std::unique_ptr<wchar_t, TaskMemoryFree> ownedPath(path);
    Choice choice{};
    choice.path = ownedPath.get();
    UINT type = 1;
    dialog->GetFileTypeIndex(&type);
    choice.format = type == 2 ? Format::Jpeg : type == 3 ? Format::Bmp : Format::Png;
    // A name typed with an image extension of its own means that format, whatever the list shows.
    if (const std::optional<Format> typed = FormatOfExtension(choice.path)) choice.format = *typed;
    return choice;
}

std::optional<CLSID> EncoderFor(const wchar_t* mimeType) {
    UINT count = 0, bytes = 0;
    if (gdip::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || count == 0 || bytes < count * sizeof(Gdiplus::ImageCodecInfo))
        return std::nullopt;
    std::vector<Gdiplus::ImageCodecInfo> codecs(bytes / sizeof(Gdiplus::ImageCodecInfo) + 1);  // room for their strings too
    if (gdip::GdipGetImageEncoders(count, bytes, codecs.data()) != Gdiplus::Ok) return std::nullopt;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mimeType) == 0) return codecs[i].Clsid;
    return std::nullopt;
}

// JPEG and BMP keep no alpha: what shows through is white, as on a page, not whatever the
// premultiplied colours would give on black.
GdipBitmap OnWhite(Gdiplus::GpBitmap* picture, INT width, INT height) {
    Gdiplus::GpBitmap* made = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &made) != Gdiplus::Ok) return nullptr;
    GdipBitmap flat(made);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(flat.get(), &graphics) != Gdiplus::Ok) return nullptr;
    GdipGraphics drawing(graphics);
    // At the same size nothing may be smoothed, or the borders would blend with the white.
    gdip::GdipSetInterpolationMode(drawing.get(), Gdiplus::InterpolationModeNearestNeighbor);
    gdip::GdipSetPixelOffsetMode(drawing.get(), Gdiplus::PixelOffsetModeHalf);
    if (gdip::GdipGraphicsClear(drawing.get(), 0xFFFFFFFF) != Gdiplus::Ok ||
        gdip::GdipDrawImageRectI(drawing.get(), picture, 0, 0, width, height) != Gdiplus::Ok)
        return nullptr;
    drawing.reset();  // done drawing before the encoder reads the bitmap
    return flat;
}

bool WriteImage(const ConstPixels& picture, Format format, const std::wstring& path) {
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{4} * picture.width;
    if (!picture.rows || !ImageSizeFits(picture.width, picture.height) ||
        (picture.stride < rowBytes && picture.stride > -rowBytes) || picture.stride % 4 != 0 ||
        picture.stride > INT32_MAX || picture.stride < -INT32_MAX)
        return false;

    const GdiplusSession session;  // first in, so last out: after every object below
    if (!session.started()) return false;
    const wchar_t* mimeType = format == Format::Png ? L"image/png" : format == Format::Jpeg ? L"image/jpeg" : L"image/bmp";
    const std::optional<CLSID> encoder = EncoderFor(mimeType);
    if (!encoder) return false;

    Gdiplus::GpBitmap* made = nullptr;
    // GDI+ only reads the rows it is lent here.
    if (gdip::GdipCreateBitmapFromScan0(picture.width, picture.height, static_cast<INT>(picture.stride), PixelFormat32bppPARGB,
                                        const_cast<BYTE*>(picture.rows), &made) != Gdiplus::Ok)
        return false;
    const GdipBitmap source(made);
    GdipBitmap flat;
    if (format != Format::Png) {
        flat = OnWhite(source.get(), picture.width, picture.height);
        if (!flat) return false;
    }

    ULONG quality = kJpegQuality;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = kEncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;

    // Written beside and moved over, so a failure never leaves half a file where a good one was.
    const std::wstring fresh = path + L".new";
    const bool written = gdip::GdipSaveImageToFile(flat ? flat.get() : source.get(), fresh.c_str(), &*encoder,
                                                   format == Format::Jpeg ? &parameters : nullptr) == Gdiplus::Ok;
    if (written && MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

}  // namespace

bool SaveImageAs(HWND owner, const ConstPixels& picture, const std::wstring& suggestedName) {
    bool saved = false;
    try {
        const std::optional<Choice> choice = AskForFile(owner, suggestedName);
        if (!choice) return false;
        saved = WriteImage(picture, choice->format, choice->path);
        if (saved) RememberFolderOf(choice->path);
    } catch (const std::bad_alloc&) {
        saved = false;
    }
    if (!saved) MessageBoxW(IsWindow(owner) ? owner : nullptr, L"The image could not be saved.", ProgramTitle, MB_OK | MB_ICONERROR);
    return saved;
}

}  // namespace velvane

#include "support/TestImages.h"

#include <vector>

#include "render/GdiPlus.h"

namespace velvane::testing {
namespace {

const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    ScopedFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search.get(), &found));
    }
    search.reset();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool WritePng(const std::wstring& path, int width, int height, const PixelColour& colour) {
    GdiplusSession session;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = colour(x, y);
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gdip::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                        reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
        return false;
    GdipBitmap owned(bitmap);
    return gdip::GdipSaveImageToFile(owned.get(), path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

bool WriteSolidPng(const std::wstring& path, int width, int height, std::uint32_t argb) {
    return WritePng(path, width, height, [argb](int, int) { return argb; });
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    for (unsigned n = GetTickCount();; ++n) {
        path_ = std::wstring(temp) + L"velvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(n);
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
    }
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

bool WriteTextFile(const std::wstring& path, const char* text) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace velvane::testing

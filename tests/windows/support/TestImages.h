#pragma once
// Real PNG files for the tests, written with GDI+ in a folder that is removed afterwards.

#include <cstdint>
#include <functional>
#include <string>

namespace velvane::testing {

// Straight (not premultiplied) ARGB of pixel (x, y).
using PixelColour = std::function<std::uint32_t(int x, int y)>;

bool WritePng(const std::wstring& path, int width, int height, const PixelColour& colour);

// A uniform opaque PNG.
bool WriteSolidPng(const std::wstring& path, int width, int height, std::uint32_t argb = 0xFF2080C0);

// A fresh folder in the temporary folder, deleted with everything in it by the destructor.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool WriteTextFile(const std::wstring& path, const char* text);
bool Exists(const std::wstring& path);

}  // namespace velvane::testing

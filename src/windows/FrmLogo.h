#pragma once
// The window that shows one image; the about window is one too.

#include "common/Scoped.h"

#include <string>
#include <vector>

#include "windows/LogoMenu.h"

namespace velvane {

class FrmLogo {
public:
    // Creates a hidden window and adds it to the loaded windows; nullptr when the
    // system refuses the window.
    static FrmLogo* Load();

    // The loaded windows, in load order.
    static const std::vector<FrmLogo*>& Loaded();
    static bool IsLoaded(const FrmLogo* window);

    // Runs the unload steps once, then destroys the window and this object.
    void Unload();

    HWND hWnd() const { return hwnd_; }

    bool ShUnload = false;
    int OLEDropMode = 0;
    LogoMenu Menu;

    bool AboutMode() const { return aboutMode_; }
    void AboutMode(bool value) { aboutMode_ = value; }
    const std::wstring& FileNamePath() const { return fileNamePath_; }
    void FileNamePath(const std::wstring& value) { fileNamePath_ = value; }

    // Position in twips, as the command line and packages give it; size in pixels.
    int LeftTwips() const;
    int TopTwips() const;
    void MoveToTwips(int left, int top);
    int Width() const;
    int Height() const;
    void Resize(int width, int height);

    FrmLogo(const FrmLogo&) = delete;
    FrmLogo& operator=(const FrmLogo&) = delete;

private:
    FrmLogo() = default;
    ~FrmLogo() = default;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RunUnloadSteps();

    HWND hwnd_ = nullptr;
    bool aboutMode_ = false;
    std::wstring fileNamePath_;
};

// The screen's twips per pixel, horizontally and vertically.
double TwipsPerPixelX();
double TwipsPerPixelY();

}  // namespace velvane

#pragma once
// Names and texts that are never translated, in one place.

namespace velvane {

constexpr const wchar_t* ProgramTitle = L"Velvane";
constexpr int MajorVersion = 2;
constexpr const wchar_t* LogoWindowClass = L"Velvane.FrmLogo";
constexpr const wchar_t* EditToolbarWindowClass = L"Velvane.EditToolbar";
// Set on an about window, so that every copy can tell it from a pin.
constexpr const wchar_t* AboutWindowProperty = L"Velvane.About";

// Custom resources, looked up without regard to case.
constexpr const wchar_t* AboutImageResource = L"Vv1a";
constexpr const wchar_t* SettingsSlotResource = L"Ras";

constexpr const wchar_t* GdiPlusErrorText = L"Error loading GDI+!";
constexpr const wchar_t* GdiPlusErrorCaption = L"GDI Plus Error";

}  // namespace velvane

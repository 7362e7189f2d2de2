#include "app/SingleExe.h"

#include <algorithm>
#include <exception>

#include "common/ProgramTexts.h"
#include "core/NumberReading.h"
#include "core/PackageBag.h"
#include "core/PinSet.h"
#include "core/SettingsSlot.h"
#include "core/TempFileNames.h"
#include "pin/FrmLogo.h"
#include "system/FileExists.h"
#include "system/OwnResources.h"
#include "system/ProgramFile.h"
#include "system/TempFiles.h"

namespace velvane::mMain {
namespace {

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// One window's entries, image number k; an image of its own holds its place with no bytes yet.
void WriteWindow(PackageBag& bag, const FrmLogo& window, int k, int sameAs) {
    const std::wstring n = std::to_wstring(k);
    if (sameAs == 0) bag.WriteValue(L"Ras" + n, std::vector<std::uint8_t>{});
    else bag.WriteValue(L"Ras" + n, L"Ras" + std::to_wstring(sameAs) + L"Ras");
    bag.WriteValue(L"top" + n, static_cast<float>(window.TopTwips()));
    bag.WriteValue(L"left" + n, static_cast<float>(window.LeftTwips()));
    bag.WriteValue(L"dontontop" + n, !window.Menu.InmnuLogo[TopMostItem].checked);
    bag.WriteValue(L"dontmoveable" + n, !window.Menu.InmnuLogo[MoveableItem].checked);
    // An entry of its own, which older copies of the program pass over.
    if (window.Menu.Turn != Orientation{}) bag.WriteValue(L"turn" + n, window.Menu.Turn.Code());
    // The same for the marks: an older copy shows the picture as it was before them.
    const PinMarks marks = window.MarksToStore();
    if (!marks.Empty()) bag.WriteValue(L"marks" + n, marks.Encode());
    if (window.Group() != 1) bag.WriteValue(L"group" + n, static_cast<std::int16_t>(window.Group()));
    if (window.Collapsed()) bag.WriteValue(L"collapsed" + n, true);
    if (window.Edge().kind != EdgeKind::None) bag.WriteValue(L"edge" + n, window.Edge().Code());
    if (!window.Card().empty()) bag.WriteValue(L"card" + n, window.Card());
    for (int p = 0; p < 10; ++p) {
        if (window.Menu.InmnuOpacity[p].checked) {
            bag.WriteValue(L"opacity" + n, static_cast<std::int16_t>((p + 1) * 10));
            break;
        }
    }
    for (int p = 0; p <= CustomSizeIndex; ++p) {
        if (window.Menu.InmnuSize[p].checked) {
            const double factor = p == CustomSizeIndex
                                      ? ReadNumber(window.Menu.InmnuSize[CustomSizeIndex].tag).value_or(0)
                                      : SizePresetValue(p);
            bag.WriteValue(L"size" + n, factor);
            break;
        }
    }
}

std::int32_t AskAboutSettings(HWND caller) {
    const int answer = MessageBoxW(caller, L"Do you want to Save Current Settings in new exe File?", ProgramTitle,
                                   MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? IDYES : IDNO;
}

// Explorer from the Windows folder by its full path: by its bare name the system would
// look in this program's folder first, where a downloaded "Explorer.exe" could lie.
void ShowFolder(const std::wstring& file) {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring explorer = std::wstring(windows, length);
    if (explorer.back() != L'\\') explorer += L'\\';
    explorer += L"explorer.exe";
    std::wstring commandLine = L"\"" + explorer + L"\" \"" + file.substr(0, file.find_last_of(L'\\') + 1) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(explorer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace

bool WriteSelfContainedCopy(HWND caller, bool allImages, const std::function<std::int32_t()>& ask,
                            const std::wstring& out, const std::wstring& programFile) try {
    const ResourceBytes slot = FindOwnResource(SettingsSlotResource, SettingsSlotResource);
    if (!slot.data || slot.size < SlotSize) return false;
    const std::vector<std::uint8_t> current(slot.data, slot.data + slot.size);
    auto program = ReadFileFrom(programFile.empty() ? OwnExePath() : programFile);
    if (!program) return false;
    const std::vector<std::uint8_t> patched = PatchedSlot(slot.data, slot.size, program->size());
    ReplaceSlot(*program, current, patched);

    // Every window may have closed while the question was open: a copy without an image is no success.
    const std::optional<PackageBag> bag = PackWindows(allImages ? nullptr : caller, ask());
    if (!bag) return false;
    const std::vector<std::uint8_t> record = MakePackageRecord(bag->SaveContents());
    return WriteWholeFile(out, {&*program, &record}) && FileExists(out);
} catch (const std::exception&) {
    return false;  // nothing has been written before the last step
}

std::optional<PackageBag> PackSettings(HWND only, std::int32_t answer, std::vector<std::wstring>& images) {
    return PackSettings(only ? std::vector<HWND>{only} : std::vector<HWND>{}, answer, images);
}

std::optional<PackageBag> PackSettings(const std::vector<HWND>& only, std::int32_t answer, std::vector<std::wstring>& images) {
    PackageBag bag;
    bag.WriteValue(L"Ras", answer);
    images.clear();
    std::vector<std::wstring> paths;
    for (const FrmLogo* window : FrmLogo::Loaded()) {
        if (window->AboutMode() || (!only.empty() && std::find(only.begin(), only.end(), window->hWnd()) == only.end())) continue;
        paths.push_back(UpperCase(window->FileNamePath()));
        const int k = static_cast<int>(paths.size());
        int sameAs = 0;
        for (int j = 1; j < k && sameAs == 0; ++j)
            if (paths[j - 1] == paths[k - 1]) sameAs = j;
        images.push_back(sameAs ? std::wstring() : window->FileNamePath());
        WriteWindow(bag, *window, k, sameAs);
    }
    if (paths.empty()) return std::nullopt;
    return bag;
}

void AddImages(PackageBag& bag, const std::vector<std::wstring>& images) {
    for (std::size_t k = 1; k <= images.size(); ++k) {
        if (images[k - 1].empty()) continue;
        auto image = ReadFileFrom(images[k - 1]);
        if (!image) throw PackageError("an image file can no longer be read");
        image->push_back(0);
        bag.WriteValue(L"Ras" + std::to_wstring(k), std::move(*image));
    }
}

std::optional<PackageBag> PackWindows(HWND only, std::int32_t answer) {
    return PackWindows(only ? std::vector<HWND>{only} : std::vector<HWND>{}, answer);
}

std::optional<PackageBag> PackWindows(const std::vector<HWND>& only, std::int32_t answer) {
    std::vector<std::wstring> images;
    std::optional<PackageBag> bag = PackSettings(only, answer, images);
    if (bag) AddImages(*bag, images);
    return bag;
}

bool ReplaceFile(const std::wstring& out, const std::vector<std::uint8_t>& bytes) {
    // Written beside, then moved over the old file: a failure midway leaves the old file whole.
    const std::wstring beside = out + L".new";
    DeleteFileW(beside.c_str());
    if (!WriteWholeFile(beside, {&bytes})) return false;
    if (MoveFileExW(beside.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(beside.c_str());
    return false;
}

bool WritePinSet(const std::wstring& out) try {
    const std::optional<PackageBag> bag = PackWindows(nullptr, IDYES);
    return bag && ReplaceFile(out, MakePinSet(bag->SaveContents()));
} catch (const std::exception&) {
    return false;
}

std::wstring SingleExeOutputPath() {
    return NumberedExePath(OwnExePath(), [](const std::wstring& path) { return FileExists(path); });
}

void MakeSingleExe(HWND caller, bool allImages) {
    bool built = false;
    std::wstring out;
    try {
        out = SingleExeOutputPath();
        if (!out.empty() && !FileExists(out))
            built = WriteSelfContainedCopy(caller, allImages, [&] { return AskAboutSettings(caller); }, out);
    } catch (const std::exception&) {
        built = false;
    }
    // The window that asked may have been closed while the question was open.
    HWND owner = IsWindow(caller) ? caller : nullptr;
    if (!built) {
        MessageBoxW(owner, L"Make Single exe file failed!", ProgramTitle, MB_ICONERROR);
        return;
    }
    const std::wstring text = L"Make Single exe file Success, in Path:\r\n" + out;
    MessageBoxW(owner, text.c_str(), ProgramTitle, MB_ICONINFORMATION);
    ShowFolder(out);
}

}  // namespace velvane::mMain

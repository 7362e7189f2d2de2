#include "package/EmbeddedPackage.h"

#include <cmath>
#include <exception>

#include "package/PackageBag.h"
#include "package/ProgramFile.h"
#include "package/TempFiles.h"
#include "startup/CommandLine.h"
#include "startup/NumberReading.h"
#include "windows/FrmLogo.h"
#include "windows/LogoWindows.h"

namespace velvane::mMain {
namespace {

constexpr std::int32_t kAnswerYes = 6;

bool StartsWithRas(const std::wstring& text) { return text.compare(0, 3, L"Ras") == 0; }

// Image k's bytes as stored (n + 1 of them), following a reference to an earlier image.
const std::vector<std::uint8_t>& StoredImage(const PackageBag& bag, int k) {
    const PackageValue& value = bag.ReadValue(L"Ras" + std::to_wstring(k));
    if (const auto* reference = std::get_if<std::wstring>(&value)) {
        if (!StartsWithRas(*reference)) throw PackageError("an image entry is neither bytes nor a reference");
        const auto j = ToInt32(ReadNumber(reference->substr(3)).value_or(0));
        return ReadAs<std::vector<std::uint8_t>>(bag, L"Ras" + std::to_wstring(j.value_or(0)));
    }
    return ReadAs<std::vector<std::uint8_t>>(bag, L"Ras" + std::to_wstring(k));
}

struct StoredSettings {
    bool dontOnTop, dontMoveable;
    std::int16_t top, left, opacity;
    float size;
};

StoredSettings ReadSettings(const PackageBag& bag, int k) {
    const std::wstring n = std::to_wstring(k);
    const auto top = ToInt16(ReadAs<float>(bag, L"top" + n));
    const auto left = ToInt16(ReadAs<float>(bag, L"left" + n));
    const auto size = ToSingle(ReadAs<double>(bag, L"size" + n));
    if (!top || !left || !size) throw PackageError("a stored setting is out of range");
    return {ReadAs<bool>(bag, L"dontontop" + n), ReadAs<bool>(bag, L"dontmoveable" + n), *top, *left,
            ReadAs<std::int16_t>(bag, L"opacity" + n), *size};
}

bool WindowShows(const std::wstring& path) {
    for (const FrmLogo* window : FrmLogo::Loaded())
        if (window->FileNamePath() == path) return true;
    return false;
}

}  // namespace

std::vector<std::wstring> LoadPackageFromFile(const std::wstring& programFile, double packageOffset,
                                              bool DontDragActive, bool DontLoadEffect) {
    std::vector<std::wstring> written;
    PackageBag bag;
    bool applySettings = false;
    try {
        const auto offset = std::isfinite(packageOffset) && packageOffset >= 0 ? ToInt32(packageOffset) : std::nullopt;
        if (!offset) return written;
        const auto tail = ReadFileFrom(programFile, static_cast<std::uint64_t>(*offset));
        if (!tail) return written;
        bag.LoadContents(ReadPackageRecord(tail->data(), tail->size()));
        applySettings = ReadAs<std::int32_t>(bag, L"Ras") == kAnswerYes;
    } catch (const std::exception&) {
        return written;
    }

    bool settingsFailed = false;
    for (int k = 1; !settingsFailed; ++k) {
        const std::vector<std::uint8_t>* stored = nullptr;
        try {
            stored = &StoredImage(bag, k);
        } catch (const std::exception&) {
            break;  // the first missing image ends the list
        }
        std::wstring file;
        try {
            file = MakeTempFileName();
            written.push_back(file);
            const std::vector<std::uint8_t> image(stored->begin(), stored->end() - (stored->empty() ? 0 : 1));
            if (!WriteWholeFile(file, {&image}, /*replace the reserved empty file*/ true))
                throw PackageError("cannot write a temporary image file");
            if (applySettings) {
                const StoredSettings s = ReadSettings(bag, k);
                OpenLogo(file, s.dontOnTop, s.dontMoveable, DontDragActive, DontLoadEffect, s.top, s.left, s.opacity,
                         s.size, false);
            } else {
                OpenLogo(file, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false);
            }
        } catch (const std::exception&) {
            settingsFailed = true;
        }
        // A file no window shows would only be left behind.
        if (!file.empty() && !WindowShows(file)) DeleteFileForced(file);
    }
    return written;
}

std::vector<std::wstring> LoadEmbeddedPackage(double packageOffset, bool DontDragActive, bool DontLoadEffect) {
    return LoadPackageFromFile(OwnExePath(), packageOffset, DontDragActive, DontLoadEffect);
}

}  // namespace velvane::mMain

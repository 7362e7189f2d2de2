#include "app/EmbeddedPackage.h"

#include <cmath>
#include <map>
#include <exception>

#include "app/LogoWindows.h"
#include "common/Scoped.h"
#include "core/CommandLine.h"
#include "core/NumberReading.h"
#include "core/PackageBag.h"
#include "core/PinGroups.h"
#include "core/PinSet.h"
#include "core/Placement.h"
#include "pin/FrmLogo.h"
#include "system/ProgramFile.h"
#include "system/TempFiles.h"

namespace velvane::mMain {
namespace {

constexpr std::int32_t kAnswerYes = 6;
// Images larger than this stay in their file until their own temporary file is written.
constexpr std::size_t kInMemory = 64 * 1024;

bool StartsWithRas(const std::wstring& text) { return text.compare(0, 3, L"Ras") == 0; }

// The entry that holds image k's bytes as stored (n + 1 of them), following a reference to
// an earlier image; the image number of a reference is its leading digits ("Ras1.5Ras"
// names image 1). Throws PackageError when there is none.
std::wstring StoredImage(const PackageBag& bag, int k) {
    std::wstring name = L"Ras" + std::to_wstring(k);
    if (const auto* reference = std::get_if<std::wstring>(&bag.ReadValue(name))) {
        if (!StartsWithRas(*reference)) throw PackageError("an image entry is neither bytes nor a reference");
        const auto j = LeadingDigits(std::wstring_view(*reference).substr(3));
        name = L"Ras" + std::to_wstring(j.value_or(0));
    }
    ReadAs<std::vector<std::uint8_t>>(bag, name);
    return name;
}

struct StoredSettings {
    bool dontOnTop, dontMoveable;
    std::int32_t top, left;
    std::int16_t opacity;
    float size;
    Orientation turn;
    int group;
    bool collapsed;
    PinEdge edge;
};

// Empty when a setting is absent or cannot be converted to what the window takes.
std::optional<StoredSettings> ReadSettings(const PackageBag& bag, int k) {
    const std::wstring n = std::to_wstring(k);
    auto number = [&](const wchar_t* key) {
        return bag.Has(key + n) ? NumberOf(bag.ReadValue(key + n)) : std::nullopt;
    };
    auto flag = [&](const wchar_t* key) {
        return bag.Has(key + n) ? BooleanOf(bag.ReadValue(key + n)) : std::nullopt;
    };
    auto int16 = [](std::optional<double> v) { return v ? ToInt16(*v) : std::nullopt; };
    // Edges in the full range a copy's builder writes (a second monitor, a 4K screen lie
    // beyond 16-bit twips), short of what no screen can hold.
    auto edge = [](std::optional<double> v, double twipsPerPixel) -> std::optional<std::int32_t> {
        const auto twips = v ? ToInt32(*v) : std::nullopt;
        if (!twips || std::fabs(*twips / twipsPerPixel) > kMaxScreenCoordinate) return std::nullopt;
        return twips;
    };
    const auto top = edge(number(L"top"), TwipsPerPixelY()), left = edge(number(L"left"), TwipsPerPixelX());
    const auto opacity = int16(number(L"opacity"));
    const auto size = number(L"size");
    const auto single = size ? ToSingle(*size) : std::nullopt;
    const auto dontOnTop = flag(L"dontontop"), dontMoveable = flag(L"dontmoveable");
    if (!top || !left || !opacity || !single || !dontOnTop || !dontMoveable) return std::nullopt;
    // Written by newer copies only: absent means upright, and a turn not understood is left out.
    const auto turn = number(L"turn");
    const auto pinEdge = number(L"edge");  // absent (an older set) or not understood: none
    const auto group = number(L"group");  // absent (an older set) or not understood: the first group
    return StoredSettings{*dontOnTop, *dontMoveable, *top, *left, *opacity, *single,
                          turn ? Orientation::FromCode(*turn).value_or(Orientation{}) : Orientation{},
                          group && IsGroup(*group) ? static_cast<int>(*group) : 1, flag(L"collapsed").value_or(false),
                          pinEdge ? PinEdge::FromCode(*pinEdge).value_or(PinEdge{}) : PinEdge{}};
}

// What was drawn on window k: none when there is no record of it, or a damaged one (the
// picture and the other windows open all the same). Marks go with the picture even when the
// settings are not stored: they are what the user made of it.
PinMarks StoredMarks(const PackageBag& bag, int k) {
    const std::wstring name = L"marks" + std::to_wstring(k);
    const auto* bytes = bag.Has(name) ? std::get_if<std::vector<std::uint8_t>>(&bag.ReadValue(name)) : nullptr;
    return bytes ? PinMarks::Decode(bytes->data(), bytes->size()).value_or(PinMarks{}) : PinMarks{};
}

// The text of window k when it is a card; a previous version shows its picture instead.
std::wstring StoredCard(const PackageBag& bag, int k) {
    const std::wstring name = L"card" + std::to_wstring(k);
    const auto* text = bag.Has(name) ? std::get_if<std::wstring>(&bag.ReadValue(name)) : nullptr;
    return text ? *text : std::wstring();
}

bool WindowShows(const std::wstring& path) {
    for (const FrmLogo* window : FrmLogo::Loaded())
        if (window->FileNamePath() == path) return true;
    return false;
}

}  // namespace

std::optional<std::vector<std::wstring>> OpenPackageContents(const std::vector<std::uint8_t>& contents, bool DontDragActive,
                                                             bool DontLoadEffect, std::vector<int>* notOpened, std::vector<int>* opened) {
    StoredPackage package;
    try {
        package.bag.LoadContents(contents);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return OpenPackage(package, DontDragActive, DontLoadEffect, notOpened, opened);
}

std::vector<std::wstring> OpenPackage(const StoredPackage& package, bool DontDragActive, bool DontLoadEffect, std::vector<int>* notOpened,
                                      std::vector<int>* opened) {
    const PackageBag& bag = package.bag;
    std::vector<std::wstring> written;
    bool applySettings = false;
    try {
        const auto answer = NumberOf(bag.ReadValue(L"Ras"));
        if (!answer) return written;
        applySettings = *answer == kAnswerYes;
    } catch (const std::exception&) {
        return written;
    }
    const FileSource source(package.left.empty() ? std::wstring() : package.file);

    std::map<std::wstring, std::wstring> shown;  // files already shown, by the entry that holds their bytes
    for (int k = 1;; ++k) {
        std::wstring stored;
        try {
            stored = StoredImage(bag, k);
        } catch (const std::exception&) {
            break;  // the first missing image ends the list
        }
        const auto left = package.left.find(stored);
        const std::uint64_t size = left != package.left.end() ? left->second.length : ReadAs<std::vector<std::uint8_t>>(bag, stored).size();
        const std::optional<StoredSettings> s = applySettings ? ReadSettings(bag, k) : std::nullopt;
        // Settings that cannot be read stop a package's list; a restore keeps that window and
        // goes on with the next. An image whose bytes were lost since (stored empty) has nothing to show.
        if (applySettings && !s) {
            if (!notOpened) break;
            if (size > 1) notOpened->push_back(k);
            continue;
        }
        if (size <= 1) continue;
        // Windows that shared an image share its file again; without a temporary file this
        // image cannot open, but the next ones still may.
        const auto same = shown.find(stored);
        const std::optional<std::wstring> file = same != shown.end() ? same->second : MakeTempFileName();
        if (file && same == shown.end()) {
            written.push_back(*file);
            // A failed write leaves a file no window can show; the window is then not opened.
            if (left != package.left.end()) {
                source.CopyTo(*file, left->second.offset, size - 1);
            } else {
                const auto& bytes = ReadAs<std::vector<std::uint8_t>>(bag, stored);
                const std::vector<std::uint8_t> image(bytes.begin(), bytes.end() - 1);
                WriteWholeFile(*file, {&image}, /*replace the reserved empty file*/ true);
            }
        }
        bool open = false;
        const PinMarks marks = file ? StoredMarks(bag, k) : PinMarks{};
        const std::wstring card = file ? StoredCard(bag, k) : std::wstring();
        if (file && !applySettings)
            open = OpenLogo(*file, false, false, false, false, CenterPos, CenterPos, 100, 1.0f, false, PinExtras{nullptr, {}, marks, 0, false, {}, card});
        else if (file)
            open = OpenLogo(*file, s->dontOnTop, s->dontMoveable, DontDragActive, DontLoadEffect, s->top, s->left, s->opacity, s->size,
                            false, PinExtras{nullptr, s->turn, marks, s->group, s->collapsed, s->edge, card});
        // Each window by what it did: one that shares a file another window shows may still have failed.
        if (open && opened) opened->push_back(k);
        if (!open && notOpened) notOpened->push_back(k);
        if (file && WindowShows(*file)) shown.emplace(stored, *file);
        else if (file && same == shown.end()) DeleteFileForced(*file);  // a file no window shows would only be left behind
    }
    return written;
}

std::vector<std::wstring> LoadPackageFromFile(const std::wstring& programFile, double packageOffset,
                                              bool DontDragActive, bool DontLoadEffect) {
    StoredPackage package{{}, {}, programFile};
    try {
        const auto offset = std::isfinite(packageOffset) && packageOffset >= 0 ? ToInt32(packageOffset) : std::nullopt;
        const FileSource file(programFile);
        if (!offset || !file) return {};
        const ReadAt read = [&](std::uint64_t at, std::uint8_t* into, std::size_t size) { return file.Read(at, into, size); };
        package.bag = ReadPackageRecordFrom(read, static_cast<std::uint64_t>(*offset), file.Size(), kInMemory, package.left);
    } catch (const std::exception&) {
        return {};
    }
    return OpenPackage(package, DontDragActive, DontLoadEffect);
}

std::optional<StoredPackage> ReadPinSetFile(const std::wstring& path) try {
    StoredPackage package{{}, {}, path};
    const FileSource file(path);
    if (!file) return std::nullopt;
    const ReadAt read = [&](std::uint64_t at, std::uint8_t* into, std::size_t size) { return file.Read(at, into, size); };
    package.bag = ReadPinSetFrom(read, file.Size(), kInMemory, package.left);
    return package;
} catch (const std::exception&) {
    return std::nullopt;
}

std::optional<std::vector<std::wstring>> OpenPinSet(const std::wstring& path, bool DontDragActive, bool DontLoadEffect) {
    const std::optional<StoredPackage> package = ReadPinSetFile(path);
    if (!package) return std::nullopt;
    return OpenPackage(*package, DontDragActive, DontLoadEffect);
}

bool IsPinSetFile(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    std::uint8_t start[16];
    DWORD read = 0;
    return ReadFile(file.get(), start, sizeof start, &read, nullptr) && HasPinSetSignature(start, read);
}

std::vector<std::wstring> LoadEmbeddedPackage(double packageOffset, bool DontDragActive, bool DontLoadEffect) {
    return LoadPackageFromFile(OwnExePath(), packageOffset, DontDragActive, DontLoadEffect);
}

}  // namespace velvane::mMain

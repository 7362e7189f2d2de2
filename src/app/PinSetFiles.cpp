#include "app/PinSetFiles.h"

#include "common/Scoped.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "app/EmbeddedPackage.h"
#include "app/SingleExe.h"
#include "core/PinSet.h"
#include "system/ProgramFile.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kSettingsSuffix[] = L".settings";
constexpr wchar_t kSetId[] = L"setid";

// Where an image's bytes come from when a set is written: its file, or, when that can no
// longer be read, the set on disk that already holds them.
struct StreamedImage {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::uint64_t offset = 0, length = 0;
};

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

// Copies length bytes from a file at an offset; false when fewer are there.
bool Copy(HANDLE from, std::uint64_t offset, std::uint64_t length, HANDLE to, std::vector<std::uint8_t>& buffer) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(from, at, nullptr, FILE_BEGIN)) return false;
    while (length > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(length, buffer.size()));
        DWORD read = 0, wrote = 0;
        if (!ReadFile(from, buffer.data(), chunk, &read, nullptr) || read != chunk) return false;
        if (!WriteFile(to, buffer.data(), chunk, &wrote, nullptr) || wrote != chunk) return false;
        length -= chunk;
    }
    return true;
}

bool Put(HANDLE to, const std::vector<std::uint8_t>& bytes) {
    DWORD wrote = 0;
    return WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
}

std::uint64_t Position(HANDLE file) {
    LARGE_INTEGER none{}, at{};
    SetFilePointerEx(file, none, &at, FILE_CURRENT);
    return static_cast<std::uint64_t>(at.QuadPart);
}

// Writes a set, the image entries named in sources streamed from their files (with the
// closing zero every version stores), to the file beside, flushed, then moved over (or, unless
// replace, into a name still free); placed gets where each streamed image's bytes lie in the
// new file. beforeMove lets go of what holds the old file.
bool WriteSet(const std::wstring& path, const PackageBag& bag, const std::map<std::wstring, StreamedImage>& sources,
              std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>>& placed, const std::function<void()>& beforeMove,
              bool replace = true) {
    std::uint64_t bagLength = EncodeBagStart(0).size();
    for (const auto& [name, value] : bag.Entries()) {
        const auto source = sources.find(name);
        bagLength += source != sources.end() ? EncodeBytesEntryStart(name, 0).size() + source->second.length + 1 : EncodeEntry(name, value).size();
    }
    if (bagLength > 0xFFFFFFFFu) return false;
    const std::wstring beside = path + L".new";
    bool ok = false;
    {
        ScopedFile out(CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::vector<std::uint8_t> buffer(kCopyChunk);
        ok = out && Put(out.get(), PinSetStart(static_cast<std::uint32_t>(bagLength))) &&
             Put(out.get(), EncodeBagStart(static_cast<std::uint32_t>(bag.Entries().size())));
        for (auto entry = bag.Entries().begin(); ok && entry != bag.Entries().end(); ++entry) {
            const auto source = sources.find(entry->first);
            if (source == sources.end()) {
                ok = Put(out.get(), EncodeEntry(entry->first, entry->second));
                continue;
            }
            const StreamedImage& image = source->second;
            ok = Put(out.get(), EncodeBytesEntryStart(entry->first, static_cast<std::uint32_t>(image.length + 1)));
            placed[entry->first] = {Position(out.get()), image.length};
            ok = ok && Copy(image.file, image.offset, image.length, out.get(), buffer) && Put(out.get(), {0});
        }
        ok = ok && FlushFileBuffers(out.get());
    }
    if (beforeMove) beforeMove();
    if (ok && MoveFileExW(beside.c_str(), path.c_str(), (replace ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(beside.c_str());
    return false;
}

// Writes sets on a thread of its own, so that a drag never waits for the disk; a newer
// job replaces one not yet started, and a job that failed is tried again a little later.
class SetWriter {
public:
    SetWriter() {
        try {
            std::thread([this] { Run(); }).detach();
            threaded_ = true;
        } catch (const std::exception&) {
            // No thread to be had: sets are written on the window thread.
        }
    }

    void Post(SaveJob job) {
        if (!threaded_) {
            lastWritten_ = Write(job);
            return;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        pending_ = std::move(job);
        wake_.notify_one();
    }

    // Returns once every job posted has been written: whether the last one was.
    bool Flush() {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [this] { return !pending_ && !busy_; });
        return lastWritten_;
    }

    // Nothing posted or failed is written any more; returns once no write is under way.
    void Cancel() {
        std::unique_lock<std::mutex> lock(mutex_);
        pending_.reset();
        failed_.reset();
        idle_.wait(lock, [this] { return !busy_; });
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (!wake_.wait_for(lock, std::chrono::seconds(3), [this] { return pending_.has_value(); })) {
                if (!failed_) continue;
                pending_ = std::move(failed_);  // a file held for a moment (a scanner, an indexer)
            }
            SaveJob job = std::move(*pending_);
            pending_.reset();
            failed_.reset();
            busy_ = true;
            lock.unlock();
            const bool written = Write(job);
            lock.lock();
            if (!written && !pending_) failed_ = std::move(job);
            lastWritten_ = written;
            busy_ = false;
            idle_.notify_all();
        }
    }

    bool Write(const SaveJob& job) try {
        if (!job.settings) {
            DeleteSet(job.path);
            writtenImages_.clear();
            written_.clear();
            missing_.clear();
            return true;
        }
        PackageBag bag = *job.settings;
        // An image stored empty (its file could not be read) is written as soon as it can be.
        const bool missingBack = std::any_of(missing_.begin(), missing_.end(), [](const std::wstring& file) {
            return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
        });
        if (job.images == writtenImages_ && !missingBack && !writtenId_.empty() && GetFileAttributesW(job.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            bag.WriteValue(kSetId, writtenId_);
            return ReplaceFile(job.path + kSettingsSuffix, MakePinSet(bag.SaveContents()));
        }
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const std::wstring id = std::to_wstring(static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
        bag.WriteValue(kSetId, id);
        if (!WriteStreamed(job, bag)) return false;
        DeleteFileW((job.path + kSettingsSuffix).c_str());
        writtenImages_ = job.images;
        writtenId_ = id;
        return true;
    } catch (const std::exception&) {
        return false;  // no memory: tried again shortly
    }

    // The set written image by image from the files: memory holds one chunk of an image at
    // a time. An image whose file cannot be read keeps the bytes the set already holds for
    // it; one never written is left empty, and noted to be written once it can be read.
    bool WriteStreamed(const SaveJob& job, const PackageBag& bag) {
        ScopedFile previous(CreateFileW(job.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
        std::vector<ScopedFile> files(job.images.size());
        std::map<std::wstring, StreamedImage> sources;
        std::map<std::wstring, std::wstring> imageOf;  // entry name -> image file
        for (std::size_t k = 0; k < job.images.size(); ++k) {
            if (job.images[k].empty()) continue;
            const std::wstring name = L"Ras" + std::to_wstring(k + 1);
            imageOf[name] = job.images[k];
            files[k].reset(CreateFileW(job.images[k].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            LARGE_INTEGER size{};
            if (files[k] && GetFileSizeEx(files[k].get(), &size)) sources[name] = StreamedImage{files[k].get(), 0, static_cast<std::uint64_t>(size.QuadPart)};
            else if (const auto held = written_.find(job.images[k]); held != written_.end() && previous)
                sources[name] = StreamedImage{previous.get(), held->second.first, held->second.second};
        }
        std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> placed;
        const bool ok = WriteSet(job.path, bag, sources, placed, [&] { previous.reset(); });
        if (!ok) return false;
        written_.clear();
        missing_.clear();
        for (const auto& [name, place] : placed) written_[imageOf[name]] = place;
        for (const auto& [name, file] : imageOf)
            if (!sources.count(name)) missing_.push_back(file);
        return true;
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<SaveJob> pending_, failed_;
    bool busy_ = false, threaded_ = false, lastWritten_ = true;
    // Only the writing thread touches these: what the set on disk holds, and where in it
    // each image file's bytes lie.
    std::vector<std::wstring> writtenImages_;
    std::wstring writtenId_;
    std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> written_;
    std::vector<std::wstring> missing_;  // image files the set holds no bytes of
};

// Lives as long as the process: its thread is never joined.
SetWriter& Writer() {
    static SetWriter* writer = new SetWriter;
    return *writer;
}

}  // namespace

std::optional<StoredPackage> ReadSetWithSettings(const std::wstring& path) {
    std::optional<StoredPackage> set = ReadPinSetFile(path);
    if (!set) return std::nullopt;
    const std::optional<StoredPackage> settings = ReadPinSetFile(path + kSettingsSuffix);
    const auto* id = set->bag.Has(kSetId) ? std::get_if<std::wstring>(&set->bag.ReadValue(kSetId)) : nullptr;
    if (!id || !settings || !settings->bag.Has(kSetId) || settings->bag.ReadValue(kSetId) != PackageValue(*id)) return set;
    // The same images under the same names: the set's bytes (or their places) with the later settings.
    PackageBag merged = settings->bag;
    for (const auto& [name, value] : set->bag.Entries()) {
        const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        // The images only: a window's marks are settings, the later ones those of the settings file.
        if (bytes && !bytes->empty() && merged.Has(name) && name.compare(0, 3, L"Ras") == 0) merged.WriteValue(name, value);
    }
    set->bag = std::move(merged);
    return set;
}

bool WriteWindowsOf(const std::wstring& path, const StoredPackage& from, const std::vector<int>& windows, bool replace) try {
    std::map<std::wstring, std::wstring> origins;
    const PackageBag bag = WindowsOf(from.bag, windows, &origins);
    ScopedFile file(CreateFileW(from.file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    std::map<std::wstring, StreamedImage> sources;
    for (const auto& [name, origin] : origins)
        if (const auto left = from.left.find(origin); left != from.left.end() && file)
            sources[name] = StreamedImage{file.get(), left->second.offset, left->second.length - (left->second.length ? 1 : 0)};
    std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> placed;
    return WriteSet(path, bag, sources, placed, {}, replace);
} catch (const std::exception&) {
    return false;
}

bool MoveSet(const std::wstring& from, const std::wstring& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED)) return false;
    MoveFileExW((from + kSettingsSuffix).c_str(), (to + kSettingsSuffix).c_str(), MOVEFILE_COPY_ALLOWED);
    return true;
}

void DeleteSet(const std::wstring& path) {
    DeleteFileW(path.c_str());
    DeleteFileW((path + kSettingsSuffix).c_str());
}

void PostPinSet(SaveJob job) { Writer().Post(std::move(job)); }

bool FlushPinSets() { return Writer().Flush(); }

void CancelPinSetWrites() { Writer().Cancel(); }

}  // namespace velvane::mMain

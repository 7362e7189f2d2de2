#include "package/PinSetFiles.h"

#include "common/Scoped.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

#include "package/PinSet.h"
#include "package/ProgramFile.h"
#include "package/SingleExe.h"

namespace velvane::mMain {
namespace {

constexpr wchar_t kSettingsSuffix[] = L".settings";
constexpr wchar_t kSetId[] = L"setid";

std::optional<PackageBag> ReadSet(const std::wstring& path) try {
    const auto file = ReadFileFrom(path);
    if (!file) return std::nullopt;
    PackageBag bag;
    bag.LoadContents(ReadPinSet(file->data(), file->size()));
    return bag;
} catch (const std::exception&) {
    return std::nullopt;
}

// Where an image's bytes come from when a set is written: its file, or, when that can no
// longer be read, the set on disk that already holds them.
struct ImageSource {
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

private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<SaveJob> failed;
        for (;;) {
            if (!wake_.wait_for(lock, std::chrono::seconds(3), [this] { return pending_.has_value(); })) {
                if (!failed) continue;
                pending_ = std::move(failed);  // a file held for a moment (a scanner, an indexer)
            }
            SaveJob job = std::move(*pending_);
            pending_.reset();
            busy_ = true;
            lock.unlock();
            const bool written = Write(job);
            lock.lock();
            if (written) failed.reset();
            else failed = std::move(job);
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
            return true;
        }
        PackageBag bag = *job.settings;
        if (job.images == writtenImages_ && !writtenId_.empty() && GetFileAttributesW(job.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
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

    // The set written image by image from the files to the file beside, then moved over:
    // memory holds one chunk of an image at a time. An image whose file cannot be read
    // keeps the bytes the set already holds for it; one never written is left empty.
    bool WriteStreamed(const SaveJob& job, const PackageBag& bag) {
        ScopedFile previous(CreateFileW(job.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
        std::vector<ScopedFile> files(job.images.size());
        std::vector<std::optional<ImageSource>> sources(job.images.size());
        for (std::size_t k = 0; k < job.images.size(); ++k) {
            if (job.images[k].empty()) continue;
            files[k].reset(CreateFileW(job.images[k].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            LARGE_INTEGER size{};
            if (files[k] && GetFileSizeEx(files[k].get(), &size)) sources[k] = ImageSource{files[k].get(), 0, static_cast<std::uint64_t>(size.QuadPart)};
            else if (const auto held = written_.find(job.images[k]); held != written_.end() && previous)
                sources[k] = ImageSource{previous.get(), held->second.first, held->second.second};
        }
        // Each image entry holds its bytes and a closing zero, as every version stores them.
        std::uint64_t bagLength = EncodeBagStart(0).size();
        std::vector<int> streamed(bag.Entries().size(), -1);  // the image each entry streams
        for (std::size_t e = 0; e < bag.Entries().size(); ++e) {
            const auto& [name, value] = bag.Entries()[e];
            for (std::size_t k = 0; k < sources.size() && streamed[e] < 0; ++k)
                if (sources[k] && name == L"Ras" + std::to_wstring(k + 1)) streamed[e] = static_cast<int>(k);
            bagLength += streamed[e] >= 0 ? EncodeBytesEntryStart(name, 0).size() + sources[streamed[e]]->length + 1 : EncodeEntry(name, value).size();
        }
        if (bagLength > 0xFFFFFFFFu) return false;

        const std::wstring beside = job.path + L".new";
        std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> written;
        bool ok = false;
        {
            ScopedFile out(CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            std::vector<std::uint8_t> buffer(kCopyChunk);
            ok = out && Put(out.get(), PinSetStart(static_cast<std::uint32_t>(bagLength))) &&
                 Put(out.get(), EncodeBagStart(static_cast<std::uint32_t>(bag.Entries().size())));
            for (std::size_t e = 0; ok && e < bag.Entries().size(); ++e) {
                const auto& [name, value] = bag.Entries()[e];
                if (streamed[e] < 0) {
                    ok = Put(out.get(), EncodeEntry(name, value));
                    continue;
                }
                const ImageSource& source = *sources[streamed[e]];
                ok = Put(out.get(), EncodeBytesEntryStart(name, static_cast<std::uint32_t>(source.length + 1)));
                written[job.images[streamed[e]]] = {Position(out.get()), source.length};
                ok = ok && Copy(source.file, source.offset, source.length, out.get(), buffer) && Put(out.get(), {0});
            }
            ok = ok && FlushFileBuffers(out.get());
        }
        previous.reset();
        if (ok && MoveFileExW(beside.c_str(), job.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            written_ = std::move(written);
            return true;
        }
        DeleteFileW(beside.c_str());
        return false;
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<SaveJob> pending_;
    bool busy_ = false, threaded_ = false, lastWritten_ = true;
    // Only the writing thread touches these: what the set on disk holds, and where in it
    // each image file's bytes lie.
    std::vector<std::wstring> writtenImages_;
    std::wstring writtenId_;
    std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> written_;
};

// Lives as long as the process: its thread is never joined.
SetWriter& Writer() {
    static SetWriter* writer = new SetWriter;
    return *writer;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSetWithSettings(const std::wstring& path) {
    const std::optional<PackageBag> set = ReadSet(path);
    if (!set) return std::nullopt;
    std::optional<PackageBag> settings = ReadSet(path + kSettingsSuffix);
    const auto* id = set->Has(kSetId) ? std::get_if<std::wstring>(&set->ReadValue(kSetId)) : nullptr;
    if (!id || !settings || !settings->Has(kSetId) || settings->ReadValue(kSetId) != PackageValue(*id)) return set->SaveContents();
    for (const auto& [name, value] : set->Entries()) {
        const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        if (bytes && !bytes->empty() && settings->Has(name)) settings->WriteValue(name, value);
    }
    return settings->SaveContents();
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

}  // namespace velvane::mMain

#include "package/PinSetFiles.h"

#include "common/Scoped.h"

#include <condition_variable>
#include <exception>
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

// Writes sets on a thread of its own, so that a drag never waits for the disk; a newer
// job replaces one not yet started.
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
        for (;;) {
            wake_.wait(lock, [this] { return pending_.has_value(); });
            const SaveJob job = std::move(*pending_);
            pending_.reset();
            busy_ = true;
            lock.unlock();
            const bool written = Write(job);
            lock.lock();
            lastWritten_ = written;
            busy_ = false;
            idle_.notify_all();
        }
    }

    bool Write(const SaveJob& job) try {
        if (!job.settings) {
            DeleteSet(job.path);
            writtenImages_.clear();
            return true;
        }
        PackageBag bag = *job.settings;
        if (job.images == writtenImages_ && !writtenId_.empty() && GetFileAttributesW(job.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            bag.WriteValue(kSetId, writtenId_);
            return ReplaceFile(job.path + kSettingsSuffix, MakePinSet(bag.SaveContents()));
        }
        AddImages(bag, job.images);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const std::wstring id = std::to_wstring(static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
        bag.WriteValue(kSetId, id);
        if (!ReplaceFile(job.path, MakePinSet(bag.SaveContents()))) return false;
        DeleteFileW((job.path + kSettingsSuffix).c_str());
        writtenImages_ = job.images;
        writtenId_ = id;
        return true;
    } catch (const std::exception&) {
        return false;  // an image that cannot be read, or no memory: tried again at the next change
    }

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<SaveJob> pending_;
    bool busy_ = false, threaded_ = false, lastWritten_ = true;
    // Only the writing thread touches these: what the set on disk holds.
    std::vector<std::wstring> writtenImages_;
    std::wstring writtenId_;
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

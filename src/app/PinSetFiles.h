#pragma once
// A copy's pin set on disk: the set itself, and the settings changed since it was written
// in a small file beside it, so that moving a window never writes its images again. Both
// name the same write, or the settings are passed over (a crash between the two).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/EmbeddedPackage.h"
#include "core/PackageBag.h"

namespace velvane::mMain {

// What is to be written: the windows' settings now, their image files read later
// (PackSettings).
struct SaveJob {
    std::wstring path;
    std::optional<PackageBag> settings;  // none: no image window is left
    std::vector<std::wstring> images;
};

// Writes the set on a thread of its own, so that a drag never waits for the disk; a newer
// job replaces one not yet started.
void PostPinSet(SaveJob job);

// Returns once every job posted has been written: whether the last one was.
bool FlushPinSets();

// Drops every job not yet written, and the retries of one that failed (the set is retired:
// writing it again would bring it back); returns once no write is under way.
void CancelPinSetWrites();

// The set's package, with the settings written after it when they belong to it, its large
// images left in the file; empty when the set cannot be read.
std::optional<StoredPackage> ReadSetWithSettings(const std::wstring& path);

// Writes a set of these windows (image numbers) of a package read from a set file, their
// images streamed from it; over a file of that name only when replace. False when it could
// not be written.
bool WriteWindowsOf(const std::wstring& path, const StoredPackage& from, const std::vector<int>& windows, bool replace = true);

// The set and the settings beside it, moved or deleted together. False when the set
// could not be moved (when another has moved it first, for one).
bool MoveSet(const std::wstring& from, const std::wstring& to);
void DeleteSet(const std::wstring& path);

}  // namespace velvane::mMain

#include "system/RunningCopies.h"

#include <map>
#include <utility>
#include <vector>

#include "common/ProgramTexts.h"

namespace velvane {
namespace {

std::uint64_t Ticks(const FILETIME& time) { return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

std::uint64_t StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks(created) : 0;
}

bool Running(HANDLE process) {
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
}

// The user a process runs as, as the bytes of its security identifier; empty when unknown.
std::vector<std::uint8_t> UserOf(HANDLE process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) return {};
    const ScopedHandle token(opened);
    DWORD bytes = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &bytes);
    std::vector<std::uint8_t> buffer(bytes);
    if (bytes == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &bytes)) return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid)) return {};
    const auto* first = static_cast<const std::uint8_t*>(sid);
    return std::vector<std::uint8_t>(first, first + GetLengthSid(sid));
}

}  // namespace

OpenSetOwner ThisCopy() {
    static const OpenSetOwner self{GetCurrentProcessId(), StartTime(GetCurrentProcess())};
    return self;
}

OpenSetOwner OwnerOfProcess(DWORD processId) {
    const ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return {processId, process ? StartTime(process.get()) : 0};
}

bool StillRuns(const OpenSetOwner& owner) {
    if (owner == ThisCopy()) return true;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    return process && Running(process.get()) && StartTime(process.get()) == owner.startTime;
}

bool IsVelvaneProgramFile(const std::wstring& path) {
    HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return false;
    const bool carriesSlot = FindResourceW(image, SettingsSlotResource, SettingsSlotResource) != nullptr;
    FreeLibrary(image);
    return carriesSlot;
}

bool IsVelvaneOfThisUser(DWORD processId) {
    if (processId == GetCurrentProcessId()) return true;
    DWORD session = 0, ownSession = 0;
    if (!ProcessIdToSessionId(processId, &session) || !ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) || session != ownSession)
        return false;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process || !Running(process.get())) return false;
    // What was found of a process stays true for its life: a copy that sends often is looked at once.
    static std::map<std::pair<DWORD, std::uint64_t>, bool> known;
    const auto key = std::make_pair(processId, StartTime(process.get()));
    if (const auto found = known.find(key); found != known.end()) return found->second;
    // A token that cannot be read (a copy running elevated) leaves the session and the program to decide.
    static const std::vector<std::uint8_t> ownUser = UserOf(GetCurrentProcess());
    const std::vector<std::uint8_t> user = UserOf(process.get());
    std::wstring path(32768, L'\0');
    DWORD length = static_cast<DWORD>(path.size());
    bool ours = (user.empty() || user == ownUser) && QueryFullProcessImageNameW(process.get(), 0, path.data(), &length);
    // A copy of this very program file needs no look inside it.
    path.resize(ours ? length : 0);
    static const std::wstring own = [] {
        std::wstring self(32768, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
        return self;
    }();
    ours = ours && (CompareStringOrdinal(path.c_str(), -1, own.c_str(), -1, TRUE) == CSTR_EQUAL || IsVelvaneProgramFile(path));
    return known[key] = ours;
}

}  // namespace velvane

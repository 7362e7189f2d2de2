#pragma once
// Which processes are running copies of this program: by the process id and start time a
// copy's files are named after, and, for the messages copies send one another, by the
// sender's process id.

#include "common/Scoped.h"

#include <cstdint>
#include <string>

#include "core/OpenSetNames.h"

namespace velvane {

// This process, as its files name it.
OpenSetOwner ThisCopy();
// Any running process so named (start time 0 when it cannot be read).
OpenSetOwner OwnerOfProcess(DWORD processId);

// Whether the process that owner names still runs (a reused process id does not).
bool StillRuns(const OpenSetOwner& owner);

// Whether a program file is this program's (it carries the settings slot resource).
bool IsVelvaneProgramFile(const std::wstring& path);

// Whether the process is a running copy of this program of the same user and session: what a
// message between copies must come from to be obeyed (anything else on the desktop could send it).
bool IsVelvaneOfThisUser(DWORD processId);

}  // namespace velvane

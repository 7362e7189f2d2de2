#pragma once
// The resident copy ("tray"): it lives in the notification area whatever pins come and go,
// one per user session, and pins from the screen or the clipboard when asked (its icon, the
// global keys, or "capture" and "pinclipboard" from a command line).

#include "common/Scoped.h"

namespace velvane::mMain {

enum class Request : WPARAM { PinFromScreen = 1, PinClipboard = 2 };

bool IsResident();

// Makes this copy the resident one; false when another copy of this session already is.
bool BecomeResident();

// Whether a resident copy runs in this session, this one or another: when it does, BecomeResident fails.
bool ResidentRuns();

// Hands the request to the running resident copy; false when there is none.
bool AskResident(Request request);

// Does what is asked, in this copy.
void Carry(Request request);

// The message by which another copy hands a request over (wParam: the request, lParam: its
// process id).
UINT RequestMessage();

}  // namespace velvane::mMain

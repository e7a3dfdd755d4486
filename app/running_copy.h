#pragma once
// A second copy started while one runs: it hands over to the running copy's launcher instead of
// opening its own.
#include <windows.h>

#include "app/instance_lock.h"

// Window property by which the launcher marks its window; its value is the launcher's process id,
// so that only a window that marked itself on purpose can match.
extern const char kLauncherMark[];

void MarkAsTheLauncher(HWND launcher);
void UnmarkTheLauncher(HWND launcher);

// The running copy's launcher, waited for up to timeoutMs (that copy may still be starting); null
// when none shows.
HWND FindRunningLauncher(DWORD timeoutMs);

// Whether this copy goes on to its launcher. When another copy runs, that copy's window comes to
// the front (its innermost box: the wizard, the progress box or a message) and this one ends; a
// copy whose window cannot be found is named in a message.
bool GoOnAsTheOnlyCopy(const CInstanceLock& lock);

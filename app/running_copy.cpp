#include "app/running_copy.h"

#include "engine/messages.h"
#include "res/strings.h"

const char kLauncherMark[] = "Setup-Orlent-Launcher-5B0E2C41";

namespace {

struct LauncherSearch {
    HWND found;
};

BOOL CALLBACK MatchLauncher(HWND window, LPARAM data) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    HANDLE mark = ::GetPropA(window, kLauncherMark);
    if (mark && reinterpret_cast<ULONG_PTR>(mark) == process) {
        reinterpret_cast<LauncherSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void MarkAsTheLauncher(HWND launcher) {
    ::SetPropA(launcher, kLauncherMark,
               reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(::GetCurrentProcessId())));
}

void UnmarkTheLauncher(HWND launcher) {
    ::RemovePropA(launcher, kLauncherMark);
}

HWND FindRunningLauncher(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        LauncherSearch search{nullptr};
        ::EnumWindows(MatchLauncher, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= timeoutMs) {
            return search.found;
        }
        ::Sleep(100);
    }
}

bool GoOnAsTheOnlyCopy(const CInstanceLock& lock) {
    // Failed: no copy can hold this name (another kind of object took it, or the system is out of
    // handles), so refusing would leave the driver uninstallable for good; two copies at once
    // still need the user to start both.
    if (lock.GetState() != CInstanceLock::State::HeldElsewhere) {
        return true;
    }
    // A double start reaches here while the first copy may still be opening its launcher.
    if (HWND launcher = FindRunningLauncher(5000)) {
        if (::IsIconic(launcher)) {
            ::ShowWindow(launcher, SW_RESTORE);
        }
        ::SetForegroundWindow(::GetLastActivePopup(launcher));
        return false;
    }
    ShowConfigMessage(nullptr, IDS_MSG_ALREADY_RUNNING, MB_ICONINFORMATION);
    return false;
}

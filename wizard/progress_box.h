#pragma once
// The progress box and the install worker it starts. The box publishes its window and bar in the
// engine's handles; the worker runs the install sequence, reports the outcome and closes the box.
#include <windows.h>

// Percentage a box shows when it opens: 100 after a successful installation in this run.
extern int g_nProgressPercent;
// The running worker, owned by the box and closed once when the box closes.
extern HANDLE g_hInstallThread;
extern unsigned g_nInstallThreadId;

INT_PTR CALLBACK ProcessBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
unsigned __stdcall InstallThreadProc(void* argument);

// Runs the box modally, without owner; returns when it has closed.
void RunProcessBox();

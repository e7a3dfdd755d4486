#pragma once
// The shell's open action behind a pointer, so that tests can record what would be opened instead
// of starting a real editor or browser.
#include <windows.h>

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND owner, LPCSTR operation, LPCSTR file,
                                          LPCSTR parameters, LPCSTR directory, INT show);

// ShellExecuteA (from the system folder) unless a test has replaced it.
extern ShellExecuteFn g_pfnShellExecute;

#include "controls/shell_open.h"

#include <shellapi.h>

#include "win32/system_dll.h"

namespace {

// The shell is loaded from the system folder when first needed, not imported: its own imports
// would be looked for beside the program before any of the program's code runs.
HINSTANCE WINAPI OpenThroughTheShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show) {
    static const ShellExecuteFn shellExecute =
        LookUpFunction<ShellExecuteFn>(LoadSystemDll("shell32.dll"), "ShellExecuteA");
    if (!shellExecute) {
        // What ShellExecuteA answers for a failure to load what it needs.
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
    }
    return shellExecute(owner, operation, file, parameters, directory, show);
}

} // namespace

ShellExecuteFn g_pfnShellExecute = OpenThroughTheShell;

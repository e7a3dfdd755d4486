#include "app/dll_search.h"

#include <windows.h>

#include "win32/system_dll.h"

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// Found by planting every likely name beside the program with neither restriction in effect: the
// common controls load the theme library by name when a window is first drawn, and the theme
// library the image library when it first draws.
const char* const kLoadedByName[] = {"uxtheme.dll", "msimg32.dll"};

} // namespace

void PreloadDllsTheSystemLoadsByName() {
    for (const char* name : kLoadedByName) {
        // Absent on the older systems, where nothing will ask for it either.
        LoadSystemDll(name);
    }
}

void LoadDllsFromTheSystemFolderOnly() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    // XP SP1 and later: takes the current directory, the medium's root, out of every search, also
    // out of the one that a DLL loaded by its full path makes for what it needs itself.
    using SetDllDirectory = BOOL(WINAPI*)(LPCSTR);
    if (auto clear = LookUpFunction<SetDllDirectory>(kernel, "SetDllDirectoryA")) {
        clear("");
    }
    // Windows 8 and later, and Vista and 7 with their 2011 security update: the program's own
    // folder leaves the search too.
    using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    if (auto restrict =
            LookUpFunction<SetDefaultDllDirectories>(kernel, "SetDefaultDllDirectories")) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Preloaded even where the search is restricted: a delay-loaded import of a system DLL need
    // not go through the restricted search (Wine's do not), and a module already loaded is taken.
    PreloadDllsTheSystemLoadsByName();
}

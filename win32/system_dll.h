#pragma once
// The program runs elevated from the medium's folder, where the loader looks first for a DLL that
// is not one of the system's known DLLs: a file named like a system DLL there would run with the
// administrator's rights. So system DLLs beyond the few known everywhere are loaded by their full
// path in the system folder.
#include <windows.h>

#include <cstring>

// The DLL of that name from the system folder, with what it needs itself looked for there too
// (not in the program's folder); kept loaded. Null, with the last error, when it cannot be loaded.
inline HMODULE LoadSystemDll(const char* name) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof(path));
    if (length == 0) {
        return nullptr;
    }
    size_t nameLength = std::strlen(name);
    if (length + 1 + nameLength + 1 > sizeof(path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A function of a module that some supported systems lack; null, with ERROR_PROC_NOT_FOUND as the
// last error, when the module or the function is missing.
template <class Function> Function LookUpFunction(HMODULE module, const char* name) {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    if (found == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

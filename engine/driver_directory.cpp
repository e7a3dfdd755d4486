#include "engine/driver_directory.h"

#include "engine/messages.h"
#include "engine/services.h"
#include "res/strings.h"

bool LookUpDriverDirectory(const char* environment, char (&directory)[kEnginePathSize]) {
    DWORD needed = 0;
    if (!Services().getPrinterDriverDirectory(environment, reinterpret_cast<BYTE*>(directory),
                                              sizeof(directory), &needed)) {
        DWORD error = GetLastError();
        ShowConfigMessage(nullptr, IDS_MSG_NO_DRIVER_PATH, MB_ICONERROR);
        SetLastError(error);
        return false;
    }
    directory[sizeof(directory) - 1] = '\0';
    return true;
}

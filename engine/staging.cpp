#include "engine/staging.h"

#include <vector>

#include "engine/config.h"
#include "engine/driver_directory.h"
#include "engine/folder_copy.h"
#include "engine/messages.h"
#include "engine/paths.h"
#include "engine/platform.h"
#include "engine/services.h"
#include "engine/state.h"
#include "engine/trace.h"
#include "res/strings.h"

int StageDriverFiles(int platformClass, HWND owner) {
    SystemServices& services = Services();
    auto environment = LoadConfigBuffer(SpoolerEnvironmentId(platformClass));
    auto fragment = LoadConfigBuffer(DriverFolderId(platformClass));
    auto infName = LoadConfigBuffer(IDS_INF_FILE);
    auto systemFile = LoadConfigBuffer(IDS_SYSTEM_FOLDER_FILE);
    if (!environment || !fragment || !infName || !systemFile) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }

    char directory[kEnginePathSize] = {};
    if (!LookUpDriverDirectory(environment.get(), directory)) {
        DWORD error = GetLastError();
        ReportProgress(ProgressStep::Staged);
        SetLastError(error);
        return 0;
    }
    Trace("The PrinterDriverPath is : %s", directory);

    DWORD length = GetCurrentDirectoryA(0, nullptr);
    std::vector<char> current(length + 1, '\0');
    if (length == 0 || GetCurrentDirectoryA(length + 1, current.data()) >= length + 1) {
        return 0;
    }
    std::string sourceFolder, targetFolder;
    if (!JoinPath(sourceFolder, kEnginePathSize, {current.data(), fragment.get()}) ||
        !JoinPath(targetFolder, kEnginePathSize, {directory, "\\"})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }

    if (!CopyDriverFolder(owner, sourceFolder, targetFolder)) {
        return 0;
    }

    std::string infPath;
    BOOL registered = JoinPath(infPath, kEnginePathSize, {sourceFolder.c_str(), infName.get()});
    if (registered) {
        registered = services.copyOemInf(infPath.c_str(), sourceFolder.c_str());
    } else {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
    }
    if (!registered) {
        // The caller tells the setup services' codes apart; the message box must not lose it.
        DWORD error = GetLastError();
        ShowConfigMessage(nullptr, IDS_MSG_INF_COPY_FAILED, MB_ICONERROR);
        SetLastError(error);
        return 0;
    }

    std::string systemSource, systemTarget;
    if (!JoinPath(systemSource, kEnginePathSize, {sourceFolder.c_str(), systemFile.get()})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    Trace("the srcFilePath is %s!", systemSource.c_str());
    char windows[kEnginePathSize] = {};
    UINT windowsLength = GetWindowsDirectoryA(windows, sizeof(windows));
    if (windowsLength == 0 || windowsLength >= sizeof(windows)) {
        return 0;
    }
    if (!JoinPath(systemTarget, kEnginePathSize, {windows, "\\system32\\", systemFile.get()})) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    Trace("the dirFilePath is %s!", systemTarget.c_str());
    // A medium without srclient.dll still installs.
    services.copyFile(systemSource.c_str(), systemTarget.c_str(), FALSE);

    ReportProgress(ProgressStep::Staged);
    return 1;
}

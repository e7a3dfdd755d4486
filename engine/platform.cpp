#include "engine/platform.h"

#include "engine/services.h"
#include "res/strings.h"

int DetectPlatformClass() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    // A failed query leaves platform 0, which counts as NT up to version 5.
    Services().getVersionEx(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        bool wide = IsNative64Bit();
        if (version.dwMajorVersion > 5) {
            return wide ? 4 : 3;
        }
        return wide ? 2 : 1;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        return 0;
    }
    return 1;
}

bool IsNtFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    Services().getVersionEx(&version);
    return version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS;
}

bool IsNative64Bit() {
    SYSTEM_INFO info{};
    if (!Services().getNativeSystemInfo(&info)) {
        Services().getSystemInfo(&info);
    }
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

UINT DriverFolderId(int platformClass) {
    switch (platformClass) {
    case 0:
        return IDS_FOLDER_WIN98_ME;
    case 2:
    case 4:
        return IDS_FOLDER_WIN7_XP64;
    case 3:
        return IDS_FOLDER_VISTA_WIN7_WIN8;
    default:
        return IDS_FOLDER_WIN2K_XP_2003;
    }
}

UINT SpoolerEnvironmentId(int platformClass) {
    if (IsNative64Bit()) {
        return IDS_ENV_X64;
    }
    return platformClass == 0 ? IDS_ENV_WIN40 : IDS_ENV_NT_X86;
}

#include "engine/install.h"

#include "engine/config.h"
#include "engine/messages.h"
#include "engine/platform.h"
#include "engine/registration.h"
#include "engine/services.h"
#include "engine/staging.h"
#include "engine/state.h"
#include "res/strings.h"

namespace {

// The setup services' code for a setup-information file with a syntax error.
constexpr DWORD kErrorGeneralSyntax = 0xE0000003;

// The copy suffix pattern with its one placeholder replaced by the counter.
std::string CopySuffix(int counter) {
    std::string pattern;
    LoadConfigString(IDS_COPY_SUFFIX, pattern);
    size_t at = pattern.find("%d");
    if (at != std::string::npos) {
        pattern.replace(at, 2, std::to_string(counter));
    }
    return pattern;
}

std::string UniquePrinterName() {
    SystemServices& services = Services();
    std::string name = g_strPrinterModel;
    for (int counter = 0;;) {
        HANDLE printer = nullptr;
        if (!services.openPrinter(name.c_str(), &printer)) {
            return name;
        }
        services.closePrinter(printer);
        ++counter;
        name = g_strPrinterModel + CopySuffix(counter);
    }
}

} // namespace

void WriteDefaultDeviceEntry(const std::string& printerName, const std::string& portName) {
    SystemServices& services = Services();
    std::string value = printerName + "," + g_strPrinterModel + "," + portName;
    services.writeProfileString("Windows", "Device", value.c_str());
    static const char kSection[] = "windows";
    LPARAM section = reinterpret_cast<LPARAM>(kSection);
    services.sendNotifyMessage(HWND_BROADCAST, WM_WININICHANGE, 0, section);
    services.sendMessageTimeout(HWND_BROADCAST, WM_WININICHANGE, 0, section, SMTO_NORMAL, 1000,
                                nullptr);
}

int InstallPrinter() {
    HWND owner = g_hProcessBox;
    std::string printerName = UniquePrinterName();
    ReportProgress(10, "10%");
    int platformClass = DetectPlatformClass();

    if (!StageDriverFiles(platformClass, owner)) {
        // A syntax error in the setup-information file has been told already; it is a failure
        // all the same, since nothing was registered.
        if (GetLastError() == kErrorGeneralSyntax) {
            return 0;
        }
        ShowConfigMessage(owner, IDS_MSG_STAGING_FAILED, MB_ICONINFORMATION);
        return 0;
    }
    if (!RegisterDriverAndPrinter(printerName, static_cast<unsigned>(platformClass))) {
        ShowConfigMessage(owner, IDS_MSG_REGISTRATION_FAILED, MB_ICONERROR);
        return 0;
    }
    if (platformClass == 0) {
        WriteDefaultDeviceEntry(printerName, g_strPrinterPort);
    } else {
        Services().setDefaultPrinter(printerName.c_str());
    }
    return 1;
}

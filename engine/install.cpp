#include "engine/install.h"

#include "engine/config.h"
#include "engine/messages.h"
#include "engine/platform.h"
#include "engine/registration.h"
#include "engine/services.h"
#include "engine/staging.h"
#include "engine/state.h"
#include "engine/trace.h"
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

// The model's own printer from an earlier installation: its exact name, the chosen port and the
// model's driver. A printer of that name elsewhere, or with another driver, is not ours to change.
bool IsModelsOwnPrinter() {
    std::string port, driver;
    if (!Services().printerPortAndDriver(g_strPrinterModel.c_str(), port, driver)) {
        return false;
    }
    return lstrcmpiA(port.c_str(), g_strPrinterPort.c_str()) == 0 &&
           lstrcmpiA(driver.c_str(), g_strPrinterModel.c_str()) == 0;
}

// The step's last error goes with its name into the trace, and stays the thread's last error.
void TraceFailure(const char* step) {
    DWORD error = GetLastError();
    Trace("step failed: %s, last error %lu (0x%08lX)", step, error, error);
    SetLastError(error);
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

int InstallPrinter(const InstallRequest& request) {
    HWND owner = g_hProcessBox;
    bool update = request.updateExisting && IsModelsOwnPrinter();
    std::string printerName = update ? g_strPrinterModel : UniquePrinterName();
    Trace(update ? "step: printer \"%s\" on %s exists with its driver: updating it"
                 : "step: printer name \"%s\" on %s",
          printerName.c_str(), g_strPrinterPort.c_str());
    ReportProgress(ProgressStep::Started);
    int platformClass = DetectPlatformClass();
    Trace("step: platform class %d; staging the driver files", platformClass);

    if (!StageDriverFiles(platformClass, owner)) {
        TraceFailure("staging the driver files");
        // A syntax error in the setup-information file has been told already; it is a failure
        // all the same, since nothing was registered.
        if (GetLastError() == kErrorGeneralSyntax) {
            return 0;
        }
        ShowConfigMessage(owner, IDS_MSG_STAGING_FAILED, MB_ICONINFORMATION);
        return 0;
    }
    Trace(update ? "step: registering the driver" : "step: registering the driver and the printer");
    if (!RegisterDriverAndPrinter(printerName, static_cast<unsigned>(platformClass), update)) {
        TraceFailure("registering the driver and the printer");
        ShowConfigMessage(owner, IDS_MSG_REGISTRATION_FAILED, MB_ICONERROR);
        return 0;
    }
    Trace("step: making \"%s\" the default printer", printerName.c_str());
    if (platformClass == 0) {
        WriteDefaultDeviceEntry(printerName, g_strPrinterPort);
    } else {
        Services().setDefaultPrinter(printerName.c_str());
    }
    return 1;
}

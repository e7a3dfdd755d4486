#pragma once
// The engine's single entry point: one whole installation from the stored selection.
#include <string>

// What the caller asks of one installation beyond the stored selection.
struct InstallRequest {
    // A printer named exactly as the model, on the chosen port and with the model's driver, is
    // updated (files staged and the driver registered again, made the default) instead of being
    // joined by a copy. Unattended runs ask for it, so that running them again piles up nothing.
    bool updateExisting = false;
};

// Settles a printer name the spooler does not know, stages, registers and makes the printer the
// default one; reports 10 per cent and shows the failure messages. 1 on success, 0 on failure.
int InstallPrinter(const InstallRequest& request);
inline int InstallPrinter() {
    return InstallPrinter(InstallRequest{});
}

// The 9x family's default printer: the legacy profile's "Device" entry and two broadcasts.
void WriteDefaultDeviceEntry(const std::string& printerName, const std::string& portName);

#pragma once
// The engine's single entry point: one whole installation from the stored selection.
#include <string>

// Settles a printer name the spooler does not know, stages, registers and makes the printer the
// default one; reports 10 per cent and shows the failure messages. 1 on success, 0 on failure.
int InstallPrinter();

// The 9x family's default printer: the legacy profile's "Device" entry and two broadcasts.
void WriteDefaultDeviceEntry(const std::string& printerName, const std::string& portName);

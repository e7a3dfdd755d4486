#pragma once
// Telling the spooler about the staged driver and adding the local printer that uses it.
#include <string>

// Registers the driver (level 6 on the NT family, level 3 on the 9x family) under printerName
// and adds the printer printerName on g_strPrinterPort with the driver g_strPrinterModel;
// reports 60 and 80 per cent. 0 on failure. With printerExists the printer is already there and
// uses this driver: only the driver is registered again.
int RegisterDriverAndPrinter(const std::string& printerName, unsigned platformClass,
                             bool printerExists = false);

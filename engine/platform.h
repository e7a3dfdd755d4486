#pragma once
// Classifying the running system into the platform class that selects the driver folder, the
// spooler environment and the driver record level.
#include <windows.h>

// 0: Windows 9x family; 1/2: NT up to version 5 on a 32/64-bit processor; 3/4: NT from version 6
// on, 32/64-bit.
int DetectPlatformClass();

// True unless the system reports the 9x family; a failed query counts as NT, as in the class.
bool IsNtFamily();

// True for a 64-bit (x64 or Itanium) native system, also in a 32-bit process on it.
bool IsNative64Bit();

// Configuration identifier of the driver folder for a platform class.
UINT DriverFolderId(int platformClass);

// Configuration identifier of the spooler environment; follows the processor, not the class.
UINT SpoolerEnvironmentId(int platformClass);

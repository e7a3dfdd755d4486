#pragma once
// Putting the driver files where the spooler expects them.
#include <windows.h>

// Copies the platform's driver folder of the medium (the current directory) into the spooler's
// driver directory, registers the setup-information file and copies srclient.dll into the system
// folder; reports 20 per cent. 0 on failure, with the failing step's last error (the setup
// services' code after a failed registration of the setup-information file).
int StageDriverFiles(int platformClass, HWND owner);

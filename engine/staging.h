#pragma once
// Putting the driver files where the spooler expects them.
#include <windows.h>

#include <string>

// Copies the platform's driver folder of the medium (the current directory) into the spooler's
// driver directory, registers the setup-information file and copies srclient.dll into the system
// folder; reports 20 per cent. 0 on failure, with the failing step's last error (the setup
// services' code after a failed registration of the setup-information file).
int StageDriverFiles(int platformClass, HWND owner);

// Copies a folder tree flat into targetFolder (both ending in a backslash), linked folders
// included. Fails when any file could not be replaced, when a folder cannot be read or its path
// leaves no room for the search pattern (which also ends a loop), and when the tree holds no file
// at all.
int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder);

// Non-zero when target holds source's content afterwards.
int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner);

// True when both files can be read and hold the same bytes.
bool FilesAreIdentical(const std::string& target, const std::string& source);

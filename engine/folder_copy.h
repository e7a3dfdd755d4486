#pragma once
// Copying the medium's driver folder into the driver directory: supplying missing files, replacing
// those that differ, and never leaving a partial copy under a driver file's name.
#include <windows.h>

#include <string>

// Name, in the driver directory, of the copy in progress. It is renamed to the real name only once
// whole; one left by an interrupted run is removed by the next walk.
extern const char kPartialCopyName[];

// Copies a folder tree flat into targetFolder (both ending in a backslash), linked folders
// included. Fails when any file could not be replaced, when a protected file is neither there nor
// could be supplied, when a folder cannot be read or its path leaves no room for the search pattern
// (which also ends a loop), and when the tree holds no file at all.
int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder);

// Non-zero when target holds source's content afterwards.
int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner);

#pragma once
// Copying the medium's driver folder into the driver directory: supplying missing files, replacing
// those that differ, and never leaving a partial copy under a driver file's name.
#include <windows.h>

#include <string>

// Every copy into the driver directory is written under a name of this family first, with the
// copying process's id between prefix and suffix, and takes its real name only once whole.
extern const char kTemporaryCopyPrefix[];
extern const char kTemporaryCopySuffix[];

// The name this process writes its copies under.
std::string TemporaryCopyName();
bool IsTemporaryCopyName(const std::string& name);

// Copies a folder tree flat into targetFolder (both ending in a backslash), linked folders
// included. Fails when any file could not be replaced, when a protected file is neither there nor
// could be supplied, when a folder cannot be read to its end or its path leaves no room for the
// search pattern, when the tree nests deeper or holds more folders than any medium does (a loop of
// links), and when the tree holds no file at all.
int CopyDriverFolder(HWND owner, const std::string& folder, const std::string& targetFolder);

// Non-zero when target holds source's content afterwards.
int ReplaceDriverFile(const std::string& target, const std::string& source, HWND owner);

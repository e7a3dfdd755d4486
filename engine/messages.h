#pragma once
// The installer's message boxes: caption "INFO" (configuration string 251) and a configuration
// text, shown through the system services so that tests can record them.
#include <windows.h>

#include <string>

// The entry's text; empty for an identifier without an entry.
std::string ConfigText(UINT id);

// An OK box with the given icon; returns what the box returned.
int ShowConfigMessage(HWND owner, UINT textId, UINT icon);

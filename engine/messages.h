#pragma once
// The installer's message boxes: caption "INFO" (configuration string 251) and a configuration
// text, shown through the system services so that tests can record them.
#include <windows.h>

#include <string>

// The entry's text; empty for an identifier without an entry.
std::string ConfigText(UINT id);

// An OK box of that caption with the given text and icon; returns what the box returned.
int ShowMessage(HWND owner, const std::string& text, UINT icon);

// The same with the entry's text.
int ShowConfigMessage(HWND owner, UINT textId, UINT icon);

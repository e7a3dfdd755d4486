#pragma once
// Reading the configuration strings of the program's own string table.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Capacity of a configuration buffer, terminator included.
constexpr size_t kConfigBufferSize = 260;

// A zero-filled 260-byte buffer with the entry's text cut to 259 bytes; the empty text for an
// identifier without an entry. Null only when the buffer cannot be allocated.
std::unique_ptr<char[]> LoadConfigBuffer(UINT id);

// Sets text to the entry's whole text and returns true; returns false and leaves text as it was
// for an identifier without an entry or with an empty one.
bool LoadConfigString(UINT id, std::string& text);

// Items of a name list, each ended by ";": "A;;B;" gives A, "" and B; text after the last ";" is
// not an item.
std::vector<std::string> SplitConfigList(const std::string& text);

// The file that a model line ("model:file;...") gives for a model; empty when the model does not
// occur in the line or its entry is not closed by ";".
std::string FindModelFile(const std::string& line, const std::string& model);

#pragma once
// Joining paths into fixed capacities without ever cutting one short, and reading a file's length.
#include <windows.h>

#include <initializer_list>
#include <string>

// Capacities, terminator included: engine paths and paths inside the folder walk.
constexpr size_t kEnginePathSize = 512;
constexpr size_t kWalkPathSize = 260;

// Concatenates the parts into out; false (out untouched) when the result would not fit in
// capacity bytes with its terminator.
bool JoinPath(std::string& out, size_t capacity, std::initializer_list<const char*> parts);

// The file's length from both halves of GetFileSize (Windows 98 has no GetFileSizeEx); false when
// it cannot be read.
bool FileLength(HANDLE file, ULONGLONG& length);

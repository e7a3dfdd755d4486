#include "engine/paths.h"

#include <cstring>

bool JoinPath(std::string& out, size_t capacity, std::initializer_list<const char*> parts) {
    size_t length = 0;
    for (const char* part : parts) {
        length += std::strlen(part);
    }
    if (length + 1 > capacity) {
        return false;
    }
    std::string joined;
    joined.reserve(length);
    for (const char* part : parts) {
        joined += part;
    }
    out.swap(joined);
    return true;
}

bool FileLength(HANDLE file, ULONGLONG& length) {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    // A low half of all ones is a valid length as well: only the last error tells a failure.
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        return false;
    }
    length = (static_cast<ULONGLONG>(high) << 32) | low;
    return true;
}

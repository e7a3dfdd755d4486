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

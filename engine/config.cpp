#include "engine/config.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The entry as 8-bit text in the ANSI code page; false when the table has no such entry.
bool ReadEntry(UINT id, std::string& out) {
    const wchar_t* text = nullptr;
    // With a zero buffer size the call hands out a pointer into the resource itself, so the
    // entry's length is not limited by any buffer.
    int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return false;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return false;
    }
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, converted.data(), bytes, nullptr, nullptr);
    out.swap(converted);
    return true;
}

} // namespace

std::unique_ptr<char[]> LoadConfigBuffer(UINT id) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kConfigBufferSize]());
    if (!buffer) {
        return nullptr;
    }
    std::string text;
    if (ReadEntry(id, text)) {
        std::memcpy(buffer.get(), text.data(), std::min(text.size(), kConfigBufferSize - 1));
    }
    return buffer;
}

bool LoadConfigString(UINT id, std::string& text) {
    std::string entry;
    if (!ReadEntry(id, entry) || entry.empty()) {
        return false;
    }
    text.swap(entry);
    return true;
}

std::vector<std::string> SplitConfigList(const std::string& text) {
    std::vector<std::string> items;
    size_t position = 0;
    while (position <= text.size()) {
        size_t separator = text.find(';', position);
        if (separator == std::string::npos) {
            break;
        }
        items.push_back(text.substr(position, separator - position));
        position = separator + 1;
    }
    return items;
}

std::string FindModelFile(const std::string& line, const std::string& model) {
    size_t at = line.find(model);
    if (at == std::string::npos) {
        return std::string();
    }
    size_t colon = line.find(':', at);
    if (colon == std::string::npos) {
        return std::string();
    }
    size_t end = line.find(';', colon + 1);
    if (end == std::string::npos) {
        return std::string();
    }
    return line.substr(colon + 1, end - colon - 1);
}

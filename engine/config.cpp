#include "engine/config.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The entry as 8-bit text in the ANSI code page; false when the table has no such entry. The
// string block is read from the resource itself: Windows 98 and ME have no working LoadStringW,
// and LoadStringA would cut the text to a buffer.
bool ReadEntry(UINT id, std::string& out) {
    HMODULE module = GetModuleHandleA(nullptr);
    // Sixteen entries a block, each a UTF-16 length followed by that many characters.
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA((id & 0xFFFF) / 16 + 1), RT_STRING);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WCHAR* block = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (block == nullptr) {
        return false;
    }
    size_t count = SizeofResource(module, found) / sizeof(WCHAR);
    size_t at = 0;
    for (UINT skip = id % 16; skip > 0 && at < count; --skip) {
        at += 1 + size_t{block[at]};
    }
    if (at >= count || block[at] == 0 || block[at] > count - at - 1) {
        return false;
    }
    int length = block[at];
    const WCHAR* text = block + at + 1;
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

#include "engine/file_compare.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "engine/paths.h"
#include "engine/trace.h"
#include "win32/handles.h"

namespace {

// Large enough that a big driver file costs few reads, small enough to keep memory bounded.
constexpr DWORD kCompareChunk = 1024 * 1024;

CFileHandle OpenForCompare(const std::string& path, DWORD share) {
    return CFileHandle(
        NoneIfInvalid(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
}

bool ReadChunk(HANDLE file, char* buffer, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + done, size - done, &got, nullptr) || got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

} // namespace

CompareBuffers::CompareBuffers()
    : target(new (std::nothrow) char[kCompareChunk]),
      source(new (std::nothrow) char[kCompareChunk]) {}

bool FilesAreIdentical(const std::string& target, const std::string& source) {
    CompareBuffers buffers;
    return FilesAreIdentical(target, source, buffers);
}

bool FilesAreIdentical(const std::string& target, const std::string& source,
                       CompareBuffers& buffers) {
    CFileHandle targetFile = OpenForCompare(target, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!targetFile) {
        Trace("Open DirFile:%s", target.c_str());
        return false;
    }
    Trace("the dirFileFullPath is %s!", target.c_str());
    CFileHandle sourceFile = OpenForCompare(source, 0);
    if (!sourceFile) {
        Trace("Open OriFile:%s", source.c_str());
        return false;
    }
    Trace("the srcFileFullPath is %s!", source.c_str());

    ULONGLONG targetSize = 0, sourceSize = 0;
    if (!FileLength(targetFile.Get(), targetSize) || !FileLength(sourceFile.Get(), sourceSize) ||
        targetSize != sourceSize) {
        return false;
    }
    char* a = buffers.target.get();
    char* b = buffers.source.get();
    // Without buffers the files count as different, and the target is simply overwritten.
    bool identical = a && b;
    for (ULONGLONG left = targetSize; left > 0 && identical;) {
        DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(left, kCompareChunk));
        identical = ReadChunk(targetFile.Get(), a, chunk) &&
                    ReadChunk(sourceFile.Get(), b, chunk) && std::equal(a, a + chunk, b);
        left -= chunk;
    }
    return identical;
}

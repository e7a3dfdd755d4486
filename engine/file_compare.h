#pragma once
// Telling whether a staged driver file already holds the medium's bytes.
#include <memory>
#include <string>

// The two pieces of a comparison. A walk keeps one pair for all its files: fresh allocations for
// every file cost more than comparing a small file.
struct CompareBuffers {
    CompareBuffers();
    std::unique_ptr<char[]> target;
    std::unique_ptr<char[]> source;
};

// True when both files can be read and hold the same bytes.
bool FilesAreIdentical(const std::string& target, const std::string& source);
bool FilesAreIdentical(const std::string& target, const std::string& source,
                       CompareBuffers& buffers);

#pragma once
// Places the tests work in: the sources (the sample medium), the build (the built Setup.exe) and
// throw-away folders.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Windows paths without a trailing backslash.
std::string SourceDir();
std::string BinaryDir();
std::string SampleMediumDir();
std::string BuiltSetupExe();

// A fresh, empty folder under the system's temp folder, removed with everything in it (read-only
// files included) when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Makes a folder the current directory for its own lifetime.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string m_previous;
};

void WriteFileText(const std::string& path, const std::string& content);
std::string ReadFileText(const std::string& path); // empty when the file cannot be read
void RemoveTree(const std::string& path);
// Names of the files (not folders) directly in a folder; empty when it cannot be read.
std::vector<std::string> FileNames(const std::string& folder);
// Copies a folder tree (files and sub-folders) into a new or existing folder.
void CopyTree(const std::string& from, const std::string& to);

// The Unix path of a Windows path under Wine; empty elsewhere.
std::string UnixPath(const std::string& path);
// Starts a Unix program (Wine starts them like its own) and waits up to five seconds for done():
// the program's handle cannot be waited on, its effect can. False when done() never held.
bool RunUnix(std::string command, const std::function<bool()>& done);

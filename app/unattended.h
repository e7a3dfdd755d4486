#pragma once
// What a command line asks for instead of the launcher: an installation that a deployment tool
// starts (no window at all, since there may be no desktop; a log instead of every message; an exit
// code the tool reads), or the list of switches.

// The exit codes of the Windows Installer, which deployment tools already read.
constexpr int kExitInstalled = 0;
constexpr int kExitInvalidCommandLine = 87;  // ERROR_INVALID_PARAMETER
constexpr int kExitFailed = 1603;            // ERROR_INSTALL_FAILURE
constexpr int kExitAnotherInstalling = 1618; // ERROR_INSTALL_ALREADY_RUNNING

// False when the launcher is to run as ever (no /S and no /?); otherwise the command line has
// been carried out and exitCode is the process's exit code.
bool RunCommandLine(const char* commandLine, int& exitCode);

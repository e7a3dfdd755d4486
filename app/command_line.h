#pragma once
// The program's command line, taken apart as the platform's own programs do, and the switches that
// ask for an unattended installation.
#include <string>
#include <vector>

// The arguments, the program's name first, by the rules of CommandLineToArgvW (which is wide-only
// and missing on the 9x family): blanks and tabs separate; quotes group and are dropped; 2n
// backslashes before a quote give n and the quote groups, 2n+1 give n and a literal quote; two
// quotes inside a group give one; other backslashes are kept. The program's name ends at its
// closing quote or first blank, backslashes and all.
std::vector<std::string> SplitCommandLine(const char* commandLine);

struct CommandLineOptions {
    bool unattended = false; // /S or /quiet
    bool help = false;       // /?
    std::string model;       // empty: the wizard's preselection
    std::string port;        // empty: LPT1:
    std::string logPath;     // empty: no log
    // Arguments that are no switch of ours, or a switch without its value, as given; an
    // unattended run refuses them, an interactive one ignores them.
    std::vector<std::string> invalid;
};

// Switches are case-insensitive and start with "/" or "-"; values follow "=". The program's name
// (the first argument) is skipped.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

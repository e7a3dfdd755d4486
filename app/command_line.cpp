#include "app/command_line.h"

#include <cctype>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> arguments;
    const char* p = commandLine ? commandLine : "";
    // The program's name knows no escapes: a path may end in a backslash.
    std::string name;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
            name += *p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        for (; *p && !IsBlank(*p); ++p) {
            name += *p;
        }
    }
    arguments.push_back(name);

    for (;;) {
        while (IsBlank(*p)) {
            ++p;
        }
        if (!*p) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (*p && (quoted || !IsBlank(*p))) {
            if (*p == '\\') {
                size_t backslashes = 0;
                while (*p == '\\') {
                    ++backslashes;
                    ++p;
                }
                if (*p == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2) {
                        argument += '"';
                        ++p;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (*p == '"') {
                if (quoted && p[1] == '"') {
                    argument += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                argument += *p++;
            }
        }
        arguments.push_back(argument);
    }
}

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineOptions options;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
            options.invalid.push_back(argument);
            continue;
        }
        size_t equals = argument.find('=');
        std::string name =
            Lower(argument.substr(1, equals == std::string::npos ? equals : equals - 1));
        bool hasValue = equals != std::string::npos;
        std::string value = hasValue ? argument.substr(equals + 1) : std::string();
        if (!hasValue && (name == "s" || name == "quiet")) {
            options.unattended = true;
        } else if (!hasValue && name == "?") {
            options.help = true;
        } else if (hasValue && !value.empty() && name == "model") {
            options.model = value;
        } else if (hasValue && !value.empty() && name == "port") {
            options.port = value;
        } else if (hasValue && !value.empty() && name == "log") {
            options.logPath = value;
        } else {
            options.invalid.push_back(argument);
        }
    }
    return options;
}

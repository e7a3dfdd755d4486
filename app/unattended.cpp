#include "app/unattended.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/instance_lock.h"
#include "engine/config.h"
#include "engine/install.h"
#include "engine/messages.h"
#include "engine/platform.h"
#include "engine/services.h"
#include "engine/state.h"
#include "engine/trace.h"
#include "res/strings.h"
#include "win32/handles.h"

namespace {

// One line per event, appended, each with the local time. A log that cannot be opened or written
// changes nothing else: the installation goes on and its exit code stays.
class CInstallLog {
public:
    void Open(const std::string& path) {
        m_file.Reset(NoneIfInvalid(CreateFileA(path.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    }

    void Write(const char* format, ...) {
        // The engine reads the last error of a failed step after its messages and traces.
        DWORD error = GetLastError();
        if (m_file) {
            char text[1280];
            va_list args;
            va_start(args, format);
            vsnprintf(text, sizeof(text), format, args);
            va_end(args);
            SYSTEMTIME now;
            GetLocalTime(&now);
            char line[1400];
            int length = snprintf(line, sizeof(line), "%04u-%02u-%02u %02u:%02u:%02u.%03u %s",
                                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                  now.wSecond, now.wMilliseconds, text);
            if (length < 0) {
                length = 0;
            }
            std::string out(line, static_cast<size_t>(length) < sizeof(line)
                                      ? static_cast<size_t>(length)
                                      : sizeof(line) - 1);
            for (char& c : out) {
                if (c == '\r' || c == '\n') {
                    c = ' ';
                }
            }
            out += "\r\n";
            // Others may append between two of ours: every line goes to the end as it is then.
            SetFilePointer(m_file.Get(), 0, nullptr, FILE_END);
            DWORD written = 0;
            WriteFile(m_file.Get(), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
        }
        SetLastError(error);
    }

private:
    CFileHandle m_file;
};

// Process-wide: the engine's observers are plain functions.
CInstallLog g_log;

void LogProgress(int, const char* text) {
    g_log.Write("progress %s", text);
}

void LogTrace(const char* text) {
    g_log.Write("trace: %s", text);
}

// Every message the engine would show goes to the log; nobody is there to press OK.
class CUnattendedServices : public Win32Services {
public:
    int messageBox(HWND, const char* text, const char* caption, UINT type) override {
        const char* kind = (type & MB_ICONMASK) == MB_ICONERROR ? "error" : "information";
        g_log.Write("message (%s, %s): %s", caption, kind, text);
        return IDOK;
    }
};

// "1.0.0.1" from the version record; the program has no other copy of its version.
std::string ProgramVersion() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const BYTE* record = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(nullptr, found) : 0;
    for (DWORD at = 0; record && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(record + at);
        if (info->dwSignature == 0xFEEF04BD) {
            char text[64];
            snprintf(text, sizeof(text), "%lu.%lu.%lu.%lu", info->dwFileVersionMS >> 16,
                     info->dwFileVersionMS & 0xFFFF, info->dwFileVersionLS >> 16,
                     info->dwFileVersionLS & 0xFFFF);
            return text;
        }
    }
    return "unknown";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "\"" : ", \"") + item + "\"";
    }
    return text;
}

// The spooler's local ports; false when it does not list them.
bool SpoolerPorts(std::vector<std::string>& ports) {
    SystemServices& services = Services();
    DWORD needed = 0, returned = 0;
    if (services.enumPorts(1, nullptr, 0, &needed, &returned) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }
    std::vector<BYTE> buffer(needed);
    if (!services.enumPorts(1, buffer.data(), needed, &needed, &returned)) {
        return false;
    }
    const auto* records = reinterpret_cast<const PortRecord*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (records[i].name) {
            ports.push_back(records[i].name);
        }
    }
    return true;
}

// The entry of the list that the asked-for name means (case aside), in the list's own spelling.
bool FindInList(const std::vector<std::string>& list, const std::string& asked,
                std::string& found) {
    for (const auto& item : list) {
        if (lstrcmpiA(item.c_str(), asked.c_str()) == 0) {
            found = item;
            return true;
        }
    }
    return false;
}

const char* PlatformClassName(int platformClass) {
    static const char* const kNames[] = {"Windows 9x family", "NT up to 5, 32-bit",
                                         "NT up to 5, 64-bit", "NT 6 or later, 32-bit",
                                         "NT 6 or later, 64-bit"};
    return platformClass >= 0 && platformClass <= 4 ? kNames[platformClass] : "unknown";
}

int Install(const CommandLineOptions& options) {
    if (options.help) {
        g_log.Write("invalid command line: /? lists the switches only without /S");
        return kExitInvalidCommandLine;
    }
    if (!options.invalid.empty()) {
        g_log.Write("invalid command line: unknown argument or switch without its value: %s",
                    Joined(options.invalid).c_str());
        return kExitInvalidCommandLine;
    }

    CInstanceLock lock;
    if (lock.GetState() == CInstanceLock::State::HeldElsewhere) {
        g_log.Write("another copy of the program is installing; nothing done, try again later");
        return kExitAnotherInstalling;
    }
    if (lock.GetState() == CInstanceLock::State::Failed) {
        g_log.Write("no single-instance lock could be made (error %lu); going on without it",
                    GetLastError());
    }

    std::vector<std::string> models = SplitConfigList(ConfigText(IDS_MODEL_LIST));
    std::string model;
    if (options.model.empty() && !models.empty()) {
        model = models.front();
    } else if (!FindInList(models, options.model, model)) {
        g_log.Write("invalid command line: no model \"%s\"; the models are %s",
                    options.model.c_str(), Joined(models).c_str());
        return kExitInvalidCommandLine;
    }

    std::vector<std::string> ports;
    if (!SpoolerPorts(ports)) {
        ShowConfigMessage(nullptr, IDS_MSG_ENUM_PORTS_FAILED, MB_ICONERROR);
        g_log.Write("the spooler lists no ports (error %lu)", GetLastError());
        return kExitFailed;
    }
    std::string asked = options.port.empty() ? "LPT1:" : options.port, port;
    if (!FindInList(ports, asked, port)) {
        g_log.Write("invalid command line: the spooler reports no port \"%s\"; its ports are %s",
                    asked.c_str(), Joined(ports).c_str());
        return kExitInvalidCommandLine;
    }

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    Services().getVersionEx(&version);
    int platformClass = DetectPlatformClass();
    g_log.Write("platform class %d (%s): Windows %lu.%lu build %lu, platform %lu", platformClass,
                PlatformClassName(platformClass), version.dwMajorVersion, version.dwMinorVersion,
                version.dwBuildNumber & 0xFFFF, version.dwPlatformId);
    g_log.Write("installing model \"%s\" on port \"%s\"", model.c_str(), port.c_str());

    g_strPrinterPort = port;
    g_strPrinterModel = model;
    InstallRequest request;
    request.updateExisting = true;
    bool installed = false;
    try {
        installed = InstallPrinter(request) != 0;
    } catch (const std::exception& e) {
        g_log.Write("unexpected failure: %s", e.what());
    }
    if (installed) {
        ReportProgress(ProgressStep::Installed);
    }
    g_log.Write("outcome: %s%s", model.c_str(),
                ConfigText(installed ? IDS_MSG_SETUP_COMPLETE : IDS_MSG_SETUP_FAIL).c_str());
    return installed ? kExitInstalled : kExitFailed;
}

int RunUnattended(const char* commandLine, const CommandLineOptions& options) {
    if (!options.logPath.empty()) {
        g_log.Open(options.logPath);
    }
    g_log.Write("start: Setup %s, command line: %s", ProgramVersion().c_str(), commandLine);
    CUnattendedServices services;
    ScopedServices scope(services);
    SetTraceObserver(LogTrace);
    SetProgressObserver(LogProgress);
    int exitCode = Install(options);
    SetProgressObserver(nullptr);
    SetTraceObserver(nullptr);
    g_log.Write("exit code %d", exitCode);
    return exitCode;
}

} // namespace

bool RunCommandLine(const char* commandLine, int& exitCode) {
    CommandLineOptions options = ParseCommandLine(SplitCommandLine(commandLine));
    if (options.unattended) {
        exitCode = RunUnattended(commandLine ? commandLine : "", options);
        return true;
    }
    if (options.help) {
        ShowConfigMessage(nullptr, IDS_USAGE, MB_ICONINFORMATION);
        exitCode = kExitInstalled;
        return true;
    }
    return false;
}

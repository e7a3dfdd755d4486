#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "res/launcher_ids.h"
#include "res/wizard_ids.h"

namespace {

bool IsMessageBox(HWND window) {
    return ClassName(window) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr &&
           GetDlgItem(window, IDC_PROGRESS_BAR) == nullptr;
}

// The icon of a message box, told by its colours: the information icon is blue, the error icon
// red. Reading the icon handle of another process is not possible, the screen's pixels are.
BoxIcon IconOf(HWND box) {
    HWND icon = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Static" &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
            icon = child;
        }
    }
    if (!icon) {
        return BoxIcon::None;
    }
    RECT rect;
    GetWindowRect(icon, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    int red = 0, blue = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = GetPixel(screen, rect.left + x, rect.top + y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 120 && r > g + 60 && r > b + 60) {
                ++red;
            } else if (b > 100 && b > r + 40) {
                ++blue;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    if (red > 20 && red > blue) {
        return BoxIcon::Error;
    }
    if (blue > 20 && blue > red) {
        return BoxIcon::Information;
    }
    return BoxIcon::Other;
}

} // namespace

std::string WindowText(HWND window) {
    char text[4096] = "";
    // WM_GETTEXT works across processes, GetWindowText does not for controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

void Click(HWND dialog, int controlId) {
    HWND button = GetDlgItem(dialog, controlId);
    // Posted: the click may start a nested modal loop that a send would wait for.
    PostMessageA(button ? button : dialog, BM_CLICK, 0, 0);
}

void PressKey(HWND window, WORD key) {
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void SelectListItem(HWND list, int index) {
    SendMessageTimeoutA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

namespace {

struct ControlSearch {
    int id;
    const std::function<bool(HWND)>* also;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* s = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(child) == s->id && (!*s->also || (*s->also)(child))) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

struct WindowSearch {
    DWORD pid;
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == s->pid && IsWindowVisible(window) && (*s->match)(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindControl(HWND root, int controlId, const std::function<bool(HWND)>& also) {
    ControlSearch search{controlId, &also, nullptr};
    EnumChildWindows(root, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VisiblePage(HWND wizard) {
    for (HWND child = GetWindow(wizard, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "#32770" && IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

bool TurnPage(HWND wizard, int button) {
    // The wizard hides one page before it shows the next, so in between no page shows: each look
    // must be a single one, or a page in mid-turn passes for the next one.
    HWND before = VisiblePage(wizard);
    Click(wizard, button);
    return WaitFor([&] {
        HWND now = VisiblePage(wizard);
        return now && now != before;
    });
}

ProgressSeen ReadProgress(HWND progressBox) {
    ProgressSeen seen;
    DWORD_PTR position = 0;
    if (SendMessageTimeoutA(GetDlgItem(progressBox, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0,
                            SMTO_ABORTIFHUNG, 5000, &position)) {
        seen.position = static_cast<int>(position);
    }
    seen.field = WindowText(GetDlgItem(progressBox, IDC_PERCENT_TEXT));
    return seen;
}

SetupRun::SetupRun(const std::string& program, const std::string& mediumDir) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + program + "\"";
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       mediumDir.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        m_process = info.hProcess;
        m_processId = info.dwProcessId;
    }
}

SetupRun::~SetupRun() {
    if (m_process) {
        if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, 5000);
        }
        CloseHandle(m_process);
    }
}

HWND SetupRun::waitWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) const {
    WindowSearch search{m_processId, &match, nullptr};
    WaitFor(
        [&] {
            search.found = nullptr;
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND SetupRun::waitLauncher() const {
    return waitWindow([](HWND w) {
        return ClassName(w) == "#32770" && GetDlgItem(w, IDC_BTN_DRIVER) && IsWindowEnabled(w);
    });
}

HWND SetupRun::waitWizard() const {
    return waitWindow([](HWND w) {
        return ClassName(w) == "#32770" && GetDlgItem(w, IDC_BTN_NEXT) &&
               GetDlgItem(w, IDC_BTN_BACK);
    });
}

HWND SetupRun::waitProgressBox() const {
    return waitWindow(
        [](HWND w) { return ClassName(w) == "#32770" && GetDlgItem(w, IDC_PROGRESS_BAR); });
}

HWND SetupRun::waitMessageBox(DWORD timeoutMs) {
    HWND box = waitWindow(
        [this](HWND w) {
            return IsMessageBox(w) &&
                   std::find(m_knownBoxes.begin(), m_knownBoxes.end(), w) == m_knownBoxes.end();
        },
        timeoutMs);
    if (!box) {
        return nullptr;
    }
    m_knownBoxes.push_back(box);
    Sleep(300); // let it paint before its icon is read from the screen
    MessageBoxSeen seen;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, 0xFFFF));
    seen.icon = IconOf(box);
    seen.owner = GetWindow(box, GW_OWNER);
    m_boxes.push_back(seen);
    return box;
}

bool SetupRun::acknowledge(MessageBoxSeen* seen, DWORD timeoutMs) {
    HWND box = waitMessageBox(timeoutMs);
    if (!box) {
        return false;
    }
    if (seen) {
        *seen = m_boxes.back();
    }
    dismiss(box);
    return true;
}

void SetupRun::dismiss(HWND box) {
    Click(box, IDOK);
    // A box whose window handle is reused later must count as new again.
    WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    m_knownBoxes.erase(std::remove(m_knownBoxes.begin(), m_knownBoxes.end(), box),
                       m_knownBoxes.end());
}

bool SetupRun::waitExit(DWORD* exitCode, DWORD timeoutMs) const {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(m_process, exitCode);
    return true;
}

std::vector<PrinterSeen> Printers() {
    std::vector<PrinterSeen> printers;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return printers;
    }
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return printers;
    }
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back({text(info[i].pPrinterName), text(info[i].pDriverName),
                            text(info[i].pPortName), text(info[i].pPrintProcessor),
                            text(info[i].pDatatype), info[i].Attributes});
    }
    return printers;
}

namespace {

std::string BaseName(const char* path) {
    std::string p = path ? path : "";
    return p.substr(p.find_last_of('\\') + 1);
}

} // namespace

std::vector<DriverSeen> Drivers(const char* environment) {
    std::vector<DriverSeen> drivers;
    DWORD needed = 0, count = 0;
    char* env = const_cast<char*>(environment);
    EnumPrinterDriversA(nullptr, env, 6, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return drivers;
    }
    std::vector<BYTE> buffer(needed);
    if (EnumPrinterDriversA(nullptr, env, 6, buffer.data(), needed, &needed, &count)) {
        auto* info = reinterpret_cast<DRIVER_INFO_6A*>(buffer.data());
        auto text = [](const char* t) { return std::string(t ? t : ""); };
        for (DWORD i = 0; i < count; ++i) {
            DriverSeen d;
            d.name = text(info[i].pName);
            d.version = info[i].cVersion;
            d.driverFile = BaseName(info[i].pDriverPath);
            d.dataFile = BaseName(info[i].pDataFile);
            d.configFile = BaseName(info[i].pConfigFile);
            d.helpFile = BaseName(info[i].pHelpFile);
            d.monitor = text(info[i].pMonitorName);
            d.defaultDataType = text(info[i].pDefaultDataType);
            d.manufacturer = text(info[i].pszMfgName);
            for (const char* f = info[i].pDependentFiles; f && *f; f += strlen(f) + 1) {
                d.dependentFiles.push_back(BaseName(f));
            }
            drivers.push_back(d);
        }
    }
    return drivers;
}

std::string DefaultPrinter() {
    char name[512] = "";
    DWORD size = sizeof(name);
    return GetDefaultPrinterA(name, &size) ? name : "";
}

std::string DriverDirectory(const char* environment) {
    char dir[512] = "";
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1,
                               reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed);
    return dir;
}

std::string DefaultDeviceEntry() {
    char entry[512] = "";
    GetProfileStringA("Windows", "Device", "", entry, sizeof(entry));
    return entry;
}

std::string WindowsFolder() {
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, sizeof(dir));
    return dir;
}

std::string SystemFolder() {
    return WindowsFolder() + "\\system32";
}

#pragma once
// Drives the real Setup.exe from outside, as a user would: finds its windows by class, caption and
// control identifiers, clicks and types through posted messages, records every message box.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class BoxIcon { None, Information, Error, Other };

struct MessageBoxSeen {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    HWND owner = nullptr;
};

class SetupRun {
public:
    // Starts the program with the medium folder as its current directory.
    SetupRun(const std::string& program, const std::string& mediumDir);
    // Ends the program if it still runs; touches no other process.
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    bool started() const { return m_process != nullptr; }
    DWORD processId() const { return m_processId; }

    // A visible top-level window of the program that matches; null after the timeout.
    HWND waitWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = 20000) const;
    HWND waitLauncher() const;
    HWND waitWizard() const;
    HWND waitProgressBox() const;
    // The next message box not seen before, recorded in boxes(); null after the timeout.
    HWND waitMessageBox(DWORD timeoutMs = 30000);
    // Records the next message box and presses its OK button.
    bool acknowledge(MessageBoxSeen* seen = nullptr, DWORD timeoutMs = 30000);
    // Presses OK on a box that waitMessageBox returned.
    void dismiss(HWND box);

    // The program's exit code, or false when it still runs after the timeout.
    bool waitExit(DWORD* exitCode, DWORD timeoutMs = 20000) const;

    const std::vector<MessageBoxSeen>& boxes() const { return m_boxes; }

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    std::vector<HWND> m_knownBoxes;
    std::vector<MessageBoxSeen> m_boxes;
};

// User actions on a window of another process.
void Click(HWND dialog, int controlId);
void PressKey(HWND window, WORD key);
void SelectListItem(HWND list, int index); // -1 selects nothing
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// A child window, searched in the whole tree (pages are child dialogs of the wizard).
HWND FindControl(HWND root, int controlId, const std::function<bool(HWND)>& also = nullptr);
// The child dialog (page) of the wizard that is visible now.
HWND VisiblePage(HWND wizard);
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// Presses a wizard button and waits until another page shows; false when none did.
bool TurnPage(HWND wizard, int button);

// The progress box's bar and percentage field as they show now.
struct ProgressSeen {
    int position = -1;
    std::string field;
};
ProgressSeen ReadProgress(HWND progressBox);

// The state the program left behind, read through the spooler and the file system.
struct PrinterSeen {
    std::string name, driver, port, processor, datatype;
    DWORD attributes = 0;
};
std::vector<PrinterSeen> Printers();
// As the spooler returns it at level 6, whatever level it was added at.
struct DriverSeen {
    std::string name;
    DWORD version = 0;
    // File names, without the folder the spooler puts in front of them.
    std::string driverFile, dataFile, configFile, helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitor, defaultDataType, manufacturer;
};
std::vector<DriverSeen> Drivers(const char* environment);
std::string DefaultPrinter();
// The legacy profile's default device, "printer,driver,port".
std::string DefaultDeviceEntry();
std::string DriverDirectory(const char* environment);
std::string WindowsFolder();
// The system folder as this program sees it (a 32-bit program on 64-bit Windows sees SysWOW64).
std::string SystemFolder();

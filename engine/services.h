#pragma once
// The one door through which the installer reaches the print spooler, the setup services, the
// legacy profile, the version and processor queries, the file copy and the message boxes. The
// Win32 implementation passes every call on unchanged; tests swap in a recording fake to refuse a
// call or to see exactly what was passed.
#include <windows.h>

#include <string>

// What the spooler is told about a driver: level 6 on the NT family, level 3 on the 9x family.
// Null texts stand for "none"; dependentFiles is a multi-string.
struct DriverRecord {
    DWORD level = 0;
    DWORD version = 0;
    const char* name = nullptr;
    const char* environment = nullptr;
    const char* driverPath = nullptr;
    const char* dataFile = nullptr;
    const char* configFile = nullptr;
    const char* helpFile = nullptr;
    const char* dependentFiles = nullptr;
    const char* monitorName = nullptr;
    const char* defaultDataType = nullptr;
    const char* manufacturer = nullptr; // level 6 only
};

// A local printer as the spooler is told about it (level 2); every other field stays empty.
struct PrinterRecord {
    const char* printerName = nullptr;
    const char* portName = nullptr;
    const char* driverName = nullptr;
    const char* printProcessor = nullptr;
    const char* datatype = nullptr;
    DWORD attributes = 0;
};

// Layout of the spooler's level-1 port record, which enumPorts fills in.
struct PortRecord {
    char* name;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;

    // Print spooler, always the local machine.
    virtual BOOL getPrinterDriverDirectory(const char* environment, BYTE* buffer, DWORD size,
                                           DWORD* needed) = 0;
    virtual BOOL addPrinterDriver(const DriverRecord& driver) = 0;
    virtual HANDLE addPrinter(const PrinterRecord& printer) = 0; // null on failure
    virtual BOOL openPrinter(const char* name, HANDLE* printer) = 0;
    virtual BOOL closePrinter(HANDLE printer) = 0;
    virtual BOOL enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                           DWORD* returned) = 0;
    virtual BOOL setDefaultPrinter(const char* name) = 0;
    // The port and driver of an existing printer (level 2); false when it cannot be read.
    virtual bool printerPortAndDriver(const char* name, std::string& port, std::string& driver) = 0;

    // Setup services: registers a setup-information file from its source folder.
    virtual BOOL copyOemInf(const char* infPath, const char* sourceFolder) = 0;

    // Legacy profile and the broadcasts that announce a change to it.
    virtual BOOL writeProfileString(const char* section, const char* key, const char* value) = 0;
    virtual BOOL sendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT sendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT flags, UINT timeout, DWORD_PTR* result) = 0;

    // Version and processor queries. getNativeSystemInfo returns false when the system lacks
    // GetNativeSystemInfo.
    virtual BOOL getVersionEx(OSVERSIONINFOA* info) = 0;
    virtual bool getNativeSystemInfo(SYSTEM_INFO* info) = 0;
    virtual void getSystemInfo(SYSTEM_INFO* info) = 0;

    // File copy, so that a refusal the platform gives only to unprivileged users can be injected.
    virtual BOOL copyFile(const char* from, const char* to, BOOL failIfExists) = 0;
    // Renames from over an existing to in one step (MoveFileExA with MOVEFILE_REPLACE_EXISTING):
    // NT family only, a stub on 9x. Through here for the same reason as the copy.
    virtual BOOL replaceFile(const char* from, const char* to) = 0;
    // The next entry of a folder walk, so that a medium failing part-way through can be injected.
    virtual BOOL findNextFile(HANDLE search, WIN32_FIND_DATAA* entry) = 0;

    virtual int messageBox(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

// The services in force: the Win32 implementation unless a test has installed its own.
SystemServices& Services();

// Installs other services for its own lifetime and restores the previous ones afterwards.
class ScopedServices {
public:
    explicit ScopedServices(SystemServices& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    SystemServices* m_previous;
};

// The real platform; tests derive from it to fake single calls.
class Win32Services : public SystemServices {
public:
    BOOL getPrinterDriverDirectory(const char* environment, BYTE* buffer, DWORD size,
                                   DWORD* needed) override;
    BOOL addPrinterDriver(const DriverRecord& driver) override;
    HANDLE addPrinter(const PrinterRecord& printer) override;
    BOOL openPrinter(const char* name, HANDLE* printer) override;
    BOOL closePrinter(HANDLE printer) override;
    BOOL enumPorts(DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) override;
    BOOL setDefaultPrinter(const char* name) override;
    bool printerPortAndDriver(const char* name, std::string& port, std::string& driver) override;
    BOOL copyOemInf(const char* infPath, const char* sourceFolder) override;
    BOOL writeProfileString(const char* section, const char* key, const char* value) override;
    BOOL sendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT sendMessageTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                               UINT timeout, DWORD_PTR* result) override;
    BOOL getVersionEx(OSVERSIONINFOA* info) override;
    bool getNativeSystemInfo(SYSTEM_INFO* info) override;
    void getSystemInfo(SYSTEM_INFO* info) override;
    BOOL copyFile(const char* from, const char* to, BOOL failIfExists) override;
    BOOL replaceFile(const char* from, const char* to) override;
    BOOL findNextFile(HANDLE search, WIN32_FIND_DATAA* entry) override;
    int messageBox(HWND owner, const char* text, const char* caption, UINT type) override;
};

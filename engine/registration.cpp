#include "engine/registration.h"

#include <cstring>

#include "engine/config.h"
#include "engine/driver_directory.h"
#include "engine/paths.h"
#include "engine/platform.h"
#include "engine/services.h"
#include "engine/state.h"
#include "res/strings.h"

namespace {

// Capacity of the dependent-files multi-string, all terminators included.
constexpr size_t kDependentFilesSize = 260;

// Items one after another, each zero-terminated, then the final zero; false when they do not fit.
bool BuildMultiString(const std::vector<std::string>& items, char (&out)[kDependentFilesSize]) {
    std::memset(out, 0, sizeof(out));
    size_t used = 0;
    for (const auto& item : items) {
        if (used + item.size() + 1 + 1 > sizeof(out)) {
            return false;
        }
        std::memcpy(out + used, item.data(), item.size());
        used += item.size() + 1;
    }
    return true;
}

} // namespace

int RegisterDriverAndPrinter(const std::string& printerName, unsigned platformClass,
                             bool printerExists) {
    SystemServices& services = Services();
    int code = static_cast<int>(platformClass);
    auto environment = LoadConfigBuffer(SpoolerEnvironmentId(code));
    auto datatype = LoadConfigBuffer(IDS_DATATYPE);
    auto manufacturer = LoadConfigBuffer(IDS_MANUFACTURER);
    auto processor = LoadConfigBuffer(IDS_PRINT_PROCESSOR);
    auto driverFile = LoadConfigBuffer(IDS_DRIVER_FILE);
    auto configFile = LoadConfigBuffer(IDS_CONFIG_FILE);
    auto helpFile = LoadConfigBuffer(IDS_HELP_FILE);
    if (!environment || !datatype || !manufacturer || !processor || !driverFile || !configFile ||
        !helpFile) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }

    char directory[kEnginePathSize] = {};
    if (!LookUpDriverDirectory(environment.get(), directory)) {
        return 0;
    }

    char dependentFiles[kDependentFilesSize];
    DriverRecord driver;
    driver.name = printerName.c_str();
    driver.environment = environment.get();
    driver.defaultDataType = datatype.get();
    driver.dependentFiles = dependentFiles;
    std::string driverPath, dataPath, configPath, helpPath;
    if (code != 0) {
        std::string line;
        LoadConfigString(IDS_MODEL_DATA_FILES, line);
        std::string dataFile = FindModelFile(line, g_strPrinterModel);
        std::string list;
        LoadConfigString(code <= 2 ? IDS_DEPENDENT_FILES_NT5 : IDS_DEPENDENT_FILES_NT6, list);
        // An unknown model has no data file: registering a driver without one is no driver.
        if (dataFile.empty() ||
            !JoinPath(driverPath, kEnginePathSize, {directory, "\\", driverFile.get()}) ||
            !JoinPath(dataPath, kEnginePathSize, {directory, "\\", dataFile.c_str()}) ||
            !JoinPath(configPath, kEnginePathSize, {directory, "\\", configFile.get()}) ||
            !JoinPath(helpPath, kEnginePathSize, {directory, "\\", helpFile.get()}) ||
            !BuildMultiString(SplitConfigList(list), dependentFiles)) {
            SetLastError(dataFile.empty() ? ERROR_UNKNOWN_PRINTER_DRIVER : ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        driver.level = 6;
        driver.version = 3;
        driver.driverPath = driverPath.c_str();
        driver.dataFile = dataPath.c_str();
        driver.configFile = configPath.c_str();
        driver.helpFile = helpPath.c_str();
        driver.manufacturer = manufacturer.get();
        if (!services.addPrinterDriver(driver)) {
            return 0;
        }
    } else {
        std::string line;
        LoadConfigString(IDS_MODEL_DRIVER_FILES, line);
        std::string modelFile = FindModelFile(line, g_strPrinterModel);
        std::string list;
        LoadConfigString(IDS_DEPENDENT_FILES_9X, list);
        std::vector<std::string> items = SplitConfigList(list);
        items.push_back(modelFile);
        if (modelFile.empty() ||
            !JoinPath(driverPath, kEnginePathSize, {directory, "\\", modelFile.c_str()}) ||
            !BuildMultiString(items, dependentFiles)) {
            SetLastError(modelFile.empty() ? ERROR_UNKNOWN_PRINTER_DRIVER : ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        driver.level = 3;
        driver.version = 0;
        driver.driverPath = driverPath.c_str();
        driver.dataFile = driverPath.c_str();
        driver.configFile = driverPath.c_str();
        // The 9x spooler's answer is not examined: the printer is added regardless.
        services.addPrinterDriver(driver);
    }
    ReportProgress(ProgressStep::DriverAdded);
    if (printerExists) {
        ReportProgress(ProgressStep::PrinterAdded);
        return 1;
    }

    PrinterRecord printer;
    printer.printerName = printerName.c_str();
    printer.portName = g_strPrinterPort.c_str();
    printer.driverName = g_strPrinterModel.c_str();
    printer.printProcessor = processor.get();
    printer.datatype = datatype.get();
    printer.attributes = 0x40; // PRINTER_ATTRIBUTE_LOCAL
    HANDLE handle = services.addPrinter(printer);
    if (!handle) {
        return 0;
    }
    services.closePrinter(handle);
    ReportProgress(ProgressStep::PrinterAdded);
    return 1;
}

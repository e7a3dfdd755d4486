#pragma once
// The process-wide state through which the wizard hands its selection to the engine, and the
// progress box through which the engine reports.
#include <windows.h>

#include <string>

// Written only by the wizard's confirming Next, port first; read by the install worker.
extern std::string g_strPrinterModel;
extern std::string g_strPrinterPort;

// The open progress box and its bar (control 1010); null until a box is published.
extern HWND g_hProcessBox;
extern HWND g_hProgressBar;

// The points of an installation that the bar shows; each value is its percentage.
enum class ProgressStep : int {
    Started = 10,
    Staged = 20,
    DriverAdded = 60,
    PrinterAdded = 80,
    Installed = 100,
};

// Moves the bar, then sets the percentage field (control 1006) to the step's fixed text ("10%"
// and so on); both are synchronous sends, so the worker waits until the box has handled them.
void ReportProgress(ProgressStep step);

// Someone besides the progress box who follows the reports (the unattended run's log); null for
// nobody. Called on the reporting thread after the box has been told.
using ProgressObserver = void (*)(int percent, const char* text);
void SetProgressObserver(ProgressObserver observer);

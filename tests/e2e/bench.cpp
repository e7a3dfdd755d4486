// Performance figures of the shipped program, measured side by side in one run:
//   e2e_bench startup SETUP_EXE MINIMAL_EXE MEDIUM_DIR [ROUNDS]
//   e2e_bench install SETUP_EXE MEDIUM_DIR
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "res/launcher_ids.h"
#include "res/wizard_ids.h"
#include "tests/e2e/harness.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds from process creation to its first visible dialog; negative when none came.
double TimeToWindow(const std::string& program, const std::string& folder) {
    double start = Now();
    SetupRun run(program, folder);
    HWND window = run.waitWindow([](HWND w) { return ClassName(w) == "#32770"; }, 20000);
    double elapsed = Now() - start;
    return window ? elapsed : -1;
}

int Startup(const std::string& setup, const std::string& minimal, const std::string& medium,
            int rounds) {
    std::vector<double> setupTimes, minimalTimes;
    TimeToWindow(minimal, medium); // warm the caches once for both
    TimeToWindow(setup, medium);
    for (int i = 0; i < rounds; ++i) {
        double a = TimeToWindow(minimal, medium), b = TimeToWindow(setup, medium);
        if (a < 0 || b < 0) {
            std::printf("a window did not appear\n");
            return 1;
        }
        minimalTimes.push_back(a);
        setupTimes.push_back(b);
    }
    double m = Median(minimalTimes), s = Median(setupTimes);
    std::printf(
        "start-up to first window (median of %d): Setup.exe %.0f ms, minimal dialog %.0f ms, "
        "ratio %.2f (target <= 1.5)\n",
        rounds, s, m, s / m);
    return 0;
}

int Install(const std::string& setup, const std::string& medium) {
    SetupRun run(setup, medium);
    HWND launcher = run.waitLauncher();
    if (!launcher) {
        return 1;
    }
    Click(launcher, IDC_BTN_DRIVER);
    HWND wizard = run.waitWizard();
    for (int step = 0; wizard && step < 4; ++step) {
        TurnPage(wizard, IDC_BTN_NEXT);
    }
    if (!wizard) {
        return 1;
    }
    double start = Now();
    Click(wizard, IDC_BTN_NEXT);
    HWND box = run.waitMessageBox(60000);
    double elapsed = Now() - start;
    if (!box) {
        return 1;
    }
    std::printf("install from the confirming Next to the result message: %.0f ms (%s)\n", elapsed,
                run.boxes().back().text.c_str());
    Click(box, IDOK);
    HWND back = run.waitLauncher();
    if (back) {
        Click(back, IDC_BTN_EXIT);
    }
    DWORD code = 0;
    run.waitExit(&code);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 4 && args[0] == "startup") {
        return Startup(args[1], args[2], args[3], args.size() > 4 ? std::stoi(args[4]) : 10);
    }
    if (args.size() == 3 && args[0] == "install") {
        return Install(args[1], args[2]);
    }
    std::fprintf(stderr,
                 "usage: e2e_bench startup SETUP MINIMAL MEDIUM [ROUNDS] | install SETUP MEDIUM\n");
    return 2;
}

#pragma once
// A stand-in progress box: a window with a progress bar and the percentage field 1006, published
// in the engine's handles for its lifetime.
#include <windows.h>

#include <string>
#include <vector>

class ProgressWindow {
public:
    // Every bar move and field text the box receives is logged in order ("bar 10", "field 10%"):
    // into log when given, so that it interleaves with other records, else into the box's own.
    explicit ProgressWindow(std::vector<std::string>* log = nullptr);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND box() const { return m_box; }
    int position() const;
    std::string field() const;
    const std::vector<std::string>& log() const { return *m_log; }

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_box = nullptr;
    HWND m_bar = nullptr;
    HWND m_field = nullptr;
    WNDPROC m_barProc = nullptr;
    WNDPROC m_fieldProc = nullptr;
    std::vector<std::string> m_ownLog;
    std::vector<std::string>* m_log;
};

#pragma once
// A stand-in progress box: a window with a progress bar and the percentage field 1006, published
// in the engine's handles for its lifetime.
#include <windows.h>

#include <string>

class ProgressWindow {
public:
    ProgressWindow();
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND box() const { return m_box; }
    int position() const;
    std::string field() const;

private:
    HWND m_box = nullptr;
    HWND m_bar = nullptr;
};

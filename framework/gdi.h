#pragma once
// Owners of GDI objects and device contexts.
#include <windows.h>

#include "win32/handles.h"

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

class CFont {
public:
    BOOL CreateFontIndirect(const LOGFONTA* font) {
        m_font.Reset(::CreateFontIndirectA(font));
        return m_font ? TRUE : FALSE;
    }
    // As CreateFontIndirect, but lfHeight is in tenths of a point on the screen.
    BOOL CreatePointFontIndirect(const LOGFONTA* font);

    HFONT Handle() const { return m_font.Get(); }

private:
    ScopedHandle<HFONT, GdiObjectDeleter> m_font;
};

class CBitmap {
public:
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height) {
        m_bitmap.Reset(::CreateCompatibleBitmap(dc, width, height));
        return m_bitmap ? TRUE : FALSE;
    }
    HBITMAP Handle() const { return m_bitmap.Get(); }

private:
    ScopedHandle<HBITMAP, GdiObjectDeleter> m_bitmap;
};

// A memory device context made by CreateCompatibleDC.
struct MemoryDcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
using CMemoryDC = ScopedHandle<HDC, MemoryDcDeleter>;

// A window's client-area device context, released to its window; a null window is the screen.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~CWindowDC() {
        if (m_dc) {
            ::ReleaseDC(m_window, m_dc);
        }
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Handle() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// The device context of a WM_PAINT handler.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window) { ::BeginPaint(window, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC Handle() const { return m_ps.hdc; }

private:
    HWND m_window;
    PAINTSTRUCT m_ps{};
};

// Selects an object into a device context for a scope and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectObject() {
        if (m_previous) {
            ::SelectObject(m_dc, m_previous);
        }
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

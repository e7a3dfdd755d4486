// The two controls attached to real windows: the button's background snapshot, drawing and hover
// tracking with real mouse messages; the label's font, link target, paint and click.
#include "controls/button_face.h"
#include "controls/my_button.h"
#include "controls/shell_open.h"
#include "controls/super_label.h"
#include "res/launcher_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kParentColour = RGB(30, 140, 220);

// A colour of its own for every pixel of a host, so that a copy from the wrong place shows.
COLORREF Pattern(int x, int y) {
    return RGB(x & 0xFF, y & 0xFF, 0x40 | (x >> 8) | ((y >> 8) << 1));
}

// Erases in Pattern when the window's user data is set, else in the class brush.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_ERASEBKGND || !GetWindowLongPtrA(window, GWLP_USERDATA)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    RECT client;
    GetClientRect(window, &client);
    std::vector<DWORD> pixels(static_cast<size_t>(client.right * client.bottom));
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            COLORREF c = Pattern(x, y);
            pixels[static_cast<size_t>(y * client.right + x)] =
                GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBitsToDevice(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, 0, 0, 0,
                      client.bottom, pixels.data(), &info, DIB_RGB_COLORS);
    return 1;
}

// A visible, active top-level window painted in one colour or in Pattern, for controls to sit
// on. Its border puts its client area off its window's corner.
class Host {
public:
    explicit Host(COLORREF colour) : m_brush(CreateSolidBrush(colour)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ControlsTestHost";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
        m_window =
            CreateWindowExA(0, "ControlsTestHost", "host", WS_POPUP | WS_VISIBLE | WS_BORDER, 100,
                            100, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetBackground(colour);
        SetForegroundWindow(m_window);
        SetActiveWindow(m_window);
    }
    ~Host() {
        DestroyWindow(m_window);
        DeleteObject(m_brush);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void SetPatterned(bool patterned) {
        SetWindowLongPtrA(m_window, GWLP_USERDATA, patterned);
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    void SetBackground(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        SetClassLongPtrA(m_window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
        DeleteObject(m_brush);
        m_brush = brush;
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy,
               int id) {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, m_window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    }
    HWND window() const { return m_window; }

private:
    HBRUSH m_brush;
    HWND m_window;
};

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Exposes the protected parts the tests look at.
class TestButton : public CMyButton {
public:
    using CMyButton::DrawItem;
};

COLORREF SnapshotPixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

using Requests = std::vector<std::pair<WPARAM, LPARAM>>;
Requests g_setStyles;
WNDPROC g_buttonProc = nullptr;

LRESULT CALLBACK RecordSetStyle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_SETSTYLE) {
        g_setStyles.push_back({wParam, lParam});
    }
    return CallWindowProcA(g_buttonProc, window, message, wParam, lParam);
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

struct ShellCall {
    HWND owner;
    std::string operation, file, parameters;
    bool hasOperation;
    INT show;
};
std::vector<ShellCall> g_calls;

HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR,
                             INT show) {
    g_calls.push_back({owner, operation ? operation : "", file ? file : "",
                       parameters ? parameters : "", operation != nullptr, show});
    return reinterpret_cast<HINSTANCE>(42);
}

class ShellRecorder {
public:
    ShellRecorder() {
        g_calls.clear();
        g_pfnShellExecute = RecordShell;
    }
    ~ShellRecorder() { g_pfnShellExecute = m_saved; }

private:
    ShellExecuteFn m_saved = g_pfnShellExecute;
};

} // namespace

TEST(MyButton, AttachingTakesTheWindowTextAndAsksForTheOwnerDrawnTypeWithTheLowStyleBits) {
    Host host(kParentColour);
    HWND control =
        host.Child("BUTTON", "Notes", BS_DEFPUSHBUTTON | BS_LEFTTEXT | BS_CENTER | WS_TABSTOP, 10,
                   10, 100, 50, 1023);
    // The platform takes only the type from BM_SETSTYLE, so the request itself is looked at.
    g_setStyles.clear();
    g_buttonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordSetStyle)));
    TestButton button;
    EXPECT_EQ(button.m_strCaption, "\xD7\xD4\xBB\xE6\xD6\xC6\xB0\xB4\xC5\xA5");
    EXPECT_EQ(button.m_bHover, 0);
    ASSERT_TRUE(button.SubclassWindow(control));
    EXPECT_EQ(button.m_strCaption, "Notes");
    // The default push button's type is replaced, not added to; nothing above the low byte goes.
    EXPECT_EQ(g_setStyles, (Requests{{BS_LEFTTEXT | BS_OWNERDRAW, TRUE}}));
    EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST(MyButton, TakesTheParentsPixelsUnderItOnceAndDrawsOnThem) {
    Host host(kParentColour);
    host.SetPatterned(true);
    HWND control = host.Child("BUTTON", "Driver", BS_PUSHBUTTON, 20, 30, 100, 50, 1025);
    TestButton button;
    ASSERT_TRUE(button.SubclassWindow(control));
    RedrawWindow(host.window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    ASSERT_NE(button.m_bmpBack.Handle(), nullptr);
    for (POINT p : {POINT{0, 0}, POINT{99, 49}, POINT{57, 13}}) {
        EXPECT_EQ(SnapshotPixel(button.m_bmpBack.Handle(), p.x, p.y), Pattern(20 + p.x, 30 + p.y))
            << p.x << "," << p.y;
    }

    // Never refreshed, even when the parent changes under the button.
    host.SetPatterned(false);
    host.SetBackground(RGB(200, 30, 30));
    RedrawWindow(host.window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_EQ(SnapshotPixel(button.m_bmpBack.Handle(), 50, 0), Pattern(70, 30));

    // The button's own draw routine on a memory DC: snapshot face and the hover frames.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100, -50, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP surface = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, surface);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 1025;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = control;
    item.hDC = dc;
    item.rcItem = {0, 0, 100, 50};
    button.m_bHover = 1;
    button.DrawItem(&item);
    EXPECT_EQ(GetPixel(dc, 0, 0), kRaisedOuterLight);
    EXPECT_EQ(GetPixel(dc, 99, 0), kRaisedOuterDark);
    EXPECT_EQ(GetPixel(dc, 1, 1), kRaisedInnerLight);
    EXPECT_EQ(GetPixel(dc, 1, 48), kRaisedInnerDark);
    EXPECT_EQ(GetPixel(dc, 3, 3), Pattern(23, 33));
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
}

TEST(MyButton, HoverTakesCaptureAndFocusAndLetsGoOutsideUnlessTheLeftButtonIsDown) {
    Host host(kParentColour);
    HWND control = host.Child("BUTTON", "Exit", BS_PUSHBUTTON, 10, 10, 100, 50, 1024);
    HWND elsewhere = host.Child("BUTTON", "Other", BS_PUSHBUTTON, 150, 10, 100, 50, 1023);
    TestButton button;
    ASSERT_TRUE(button.SubclassWindow(control));
    SetFocus(elsewhere);
    ReleaseCapture();

    SendMessageA(control, WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_EQ(GetCapture(), control);
    EXPECT_EQ(button.m_bHover, 1);
    EXPECT_EQ(GetFocus(), control);
    EXPECT_EQ(GetCursor(),
              LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));

    // Inside again: nothing changes.
    SendMessageA(control, WM_MOUSEMOVE, 0, At(30, 30));
    EXPECT_EQ(GetCapture(), control);
    EXPECT_EQ(button.m_bHover, 1);

    // Outside with the left button held: the hover ends, the capture stays.
    SendMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, At(-5, 20));
    EXPECT_EQ(button.m_bHover, 0);
    EXPECT_EQ(GetCapture(), control);

    // Outside with no button: the capture goes.
    SendMessageA(control, WM_MOUSEMOVE, 0, At(150, 20));
    EXPECT_EQ(button.m_bHover, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    Pump();
}

TEST(MyButton, FocusLossEndsTheHoverAndACaptureChangeKeepsIt) {
    Host host(kParentColour);
    HWND control = host.Child("BUTTON", "Exit", BS_PUSHBUTTON, 10, 10, 100, 50, 1024);
    HWND elsewhere = host.Child("BUTTON", "Other", BS_PUSHBUTTON, 150, 10, 100, 50, 1023);
    TestButton button;
    ASSERT_TRUE(button.SubclassWindow(control));
    ReleaseCapture();

    SendMessageA(control, WM_MOUSEMOVE, 0, At(20, 20));
    ASSERT_EQ(button.m_bHover, 1);
    // As at the end of a click: the capture is released by someone else.
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(button.m_bHover, 1) << "the hover frame stays until the focus moves";

    SetFocus(elsewhere);
    EXPECT_EQ(button.m_bHover, 0);
    Pump();
}

TEST(SuperLabel, TargetIsTheTextAtAttachmentAndThePressOpensIt) {
    ShellRecorder shell;
    Host host(kParentColour);
    HWND control = host.Child("STATIC", "https://example.test/a", SS_NOTIFY | SS_CENTER, 10, 10,
                              200, 20, 1013);
    LOGFONTA original{};
    original.lfHeight = -17;
    original.lfWeight = FW_BOLD;
    lstrcpyA(original.lfFaceName, "Times New Roman");
    HFONT font = CreateFontIndirectA(&original);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    CSuperLabel label;
    ASSERT_TRUE(label.SubclassWindow(control));
    EXPECT_EQ(label.m_strUrl, "https://example.test/a");
    EXPECT_EQ(label.m_logFont.lfUnderline, 1);
    EXPECT_EQ(label.m_logFont.lfHeight, -17);
    EXPECT_EQ(label.m_logFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(label.m_logFont.lfFaceName, "Times New Roman");
    LOGFONTA created{};
    ASSERT_EQ(GetObjectA(label.m_fontLink.Handle(), sizeof(created), &created),
              static_cast<int>(sizeof(created)));
    EXPECT_EQ(created.lfUnderline, 1);
    EXPECT_STREQ(created.lfFaceName, "Times New Roman");

    // New text is painted, but the target stays.
    SetWindowTextA(control, "something else");
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(label.m_strUrl, "https://example.test/a");
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].owner, control);
    EXPECT_FALSE(g_calls[0].hasOperation);
    EXPECT_EQ(g_calls[0].file, "https://example.test/a");
    EXPECT_EQ(g_calls[0].show, SW_SHOW);

    SendMessageA(control, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(GetCursor(),
              LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
    label.UnsubclassWindow();
    DestroyWindow(control);
    DeleteObject(font);
}

TEST(SuperLabel, EmptyAtAttachmentTakesItsTargetAtTheFirstPaintAndPaintsBlackAtTheCorner) {
    ShellRecorder shell;
    Host host(RGB(255, 255, 255));
    // Hidden until it has its text, so that only the label's own paint draws it.
    HWND control = host.Child("STATIC", "", SS_NOTIFY | SS_RIGHT, 10, 10, 250, 30, 1013);
    ShowWindow(control, SW_HIDE);
    CSuperLabel label;
    ASSERT_TRUE(label.SubclassWindow(control));
    EXPECT_EQ(label.m_strUrl, "");
    // No font of its own: the default GUI font stands in.
    LOGFONTA gui{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    EXPECT_STREQ(label.m_logFont.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(label.m_logFont.lfHeight, gui.lfHeight);
    EXPECT_EQ(label.m_logFont.lfUnderline, 1);

    SetWindowTextA(control, "WWWW");
    ShowWindow(control, SW_SHOW);
    UpdateWindow(control);
    EXPECT_EQ(label.m_strUrl, "WWWW");

    // Drawn from the top-left corner whatever the alignment, in black.
    HDC dc = GetDC(control);
    int black = 0, blackRight = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 250; ++x) {
            if (GetPixel(dc, x, y) == RGB(0, 0, 0)) {
                ++black;
                blackRight += x > 125;
            }
        }
    }
    ReleaseDC(control, dc);
    EXPECT_GT(black, 0);
    EXPECT_EQ(blackRight, 0);

    SetWindowTextA(control, "later");
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(label.m_strUrl, "WWWW");
    label.UnsubclassWindow();
}

#include "controls/my_button.h"

#include <windowsx.h>

#include "controls/button_face.h"
#include "framework/app.h"
#include "res/launcher_ids.h"

MESSAGE_MAP(CMyButton, CButton, OnMessage(WM_CAPTURECHANGED, &CMyButton::OnCaptureChanged),
            OnMessage(WM_ERASEBKGND, &CMyButton::OnEraseBkgnd),
            OnMessage(WM_MOUSEMOVE, &CMyButton::OnMouseMove),
            OnMessage(WM_KILLFOCUS, &CMyButton::OnKillFocus))

CMyButton::CMyButton() : m_strCaption("\xD7\xD4\xBB\xE6\xD6\xC6\xB0\xB4\xC5\xA5"), m_bHover(0) {}

CMyButton::~CMyButton() = default;

void CMyButton::PreSubclassWindow() {
    m_strCaption = GetWindowText();
    // Keep the style bits of the low byte but make the type owner-drawn: adding the type to a
    // default push button's type would name another kind of button.
    DWORD style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
    SendMessage(BM_SETSTYLE, ((style & 0xFF) & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW,
                TRUE);
    CButton::PreSubclassWindow();
}

void CMyButton::DrawItem(LPDRAWITEMSTRUCT item) {
    DrawButtonFace(*item, m_bHover != 0, m_bmpBack.Handle(), m_strCaption);
}

LRESULT CMyButton::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND parent = ::GetParent(m_hWnd);
    CWindowDC parentDC(parent);
    RECT button, area;
    ::GetClientRect(m_hWnd, &button);
    ::GetClientRect(parent, &area);
    POINT buttonAt = {button.left, button.top}, parentAt = {area.left, area.top};
    ::ClientToScreen(m_hWnd, &buttonAt);
    ::ClientToScreen(parent, &parentAt);
    const int dx = buttonAt.x - parentAt.x, dy = buttonAt.y - parentAt.y;
    const int width = button.right - button.left, height = button.bottom - button.top;

    CMemoryDC memory(::CreateCompatibleDC(dc));
    if (!memory) {
        return Default();
    }
    // Taken once: later repaints reuse these pixels without touching the parent.
    if (!m_bmpBack.Handle() && m_bmpBack.CreateCompatibleBitmap(dc, width, height)) {
        CSelectObject select(memory.Get(), m_bmpBack.Handle());
        ::BitBlt(memory.Get(), 0, 0, width, height, parentDC.Handle(), dx, dy, SRCCOPY);
    }
    return TRUE;
}

LRESULT CMyButton::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (::GetCapture() != m_hWnd) {
        ::SetCapture(m_hWnd);
        m_bHover = 1;
        ::SetFocus(m_hWnd);
        ::SetCursor(::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    } else {
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!::PtInRect(&client, at)) {
            if (m_bHover == 1) {
                m_bHover = 0;
                ::InvalidateRect(m_hWnd, nullptr, FALSE);
            }
            // While the left button is down the platform's own click tracking needs the capture.
            if (!(wParam & MK_LBUTTON)) {
                ::ReleaseCapture();
            }
        }
    }
    return Default();
}

LRESULT CMyButton::OnCaptureChanged(WPARAM, LPARAM) {
    if (m_bHover) {
        ::ReleaseCapture();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return Default();
}

LRESULT CMyButton::OnKillFocus(WPARAM, LPARAM) {
    LRESULT result = Default();
    if (m_bHover) {
        m_bHover = 0;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return result;
}

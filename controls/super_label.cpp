#include "controls/super_label.h"

#include "controls/link_font.h"
#include "controls/shell_open.h"
#include "framework/app.h"
#include "res/launcher_ids.h"

MESSAGE_MAP(CSuperLabel, CStatic, OnMessage(WM_PAINT, &CSuperLabel::OnPaint),
            OnMessage(WM_LBUTTONDOWN, &CSuperLabel::OnLButtonDown),
            OnMessage(WM_MOUSEMOVE, &CSuperLabel::OnMouseMove))

CSuperLabel::CSuperLabel() : m_logFont{} {}

CSuperLabel::~CSuperLabel() = default;

void CSuperLabel::PreSubclassWindow() {
    m_strUrl = GetWindowText();
    m_logFont = UnderlinedFontOf(m_hWnd);
    m_fontLink.CreateFontIndirect(&m_logFont);
    CStatic::PreSubclassWindow();
}

LRESULT CSuperLabel::OnPaint(WPARAM, LPARAM) {
    CPaintDC paint(m_hWnd);
    CWindowDC window(m_hWnd);
    HDC dc = window.Handle();
    std::string text = GetWindowText();
    if (m_strUrl.empty()) {
        m_strUrl = text;
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    CSelectObject font(dc, m_fontLink.Handle());
    ::TextOutA(dc, 0, 0, text.data(), static_cast<int>(text.size()));
    return 0;
}

LRESULT CSuperLabel::OnLButtonDown(WPARAM, LPARAM) {
    g_pfnShellExecute(m_hWnd, nullptr, m_strUrl.c_str(), nullptr, nullptr, SW_SHOW);
    return Default();
}

LRESULT CSuperLabel::OnMouseMove(WPARAM, LPARAM) {
    LRESULT result = Default();
    ::SetCursor(::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
    return result;
}

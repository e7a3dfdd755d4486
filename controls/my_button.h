#pragma once
// Flat owner-drawn push button: the caption lies on a copy of the parent's pixels under the
// button; thin frames mark hover, focus and press, a grey caption the disabled state. Hovering
// gives the button the keyboard focus and the hand cursor.
#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"

class CMyButton : public CButton {
public:
    CMyButton();
    ~CMyButton() override;

    // Drawn on the face; the owner replaces it after attaching.
    std::string m_strCaption;
    // 1 while the mouse is tracked over the button.
    int m_bHover;
    // The parent's pixels under the button, taken at the first background erase and kept.
    CBitmap m_bmpBack;

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
};

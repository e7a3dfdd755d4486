#pragma once
// Thin wrappers over the standard controls; each can be attached to a dialog's control.
#include "framework/wnd.h"

class CButton : public CWnd {};

class CStatic : public CWnd {};

class CEdit : public CWnd {};

class CListBox : public CWnd {
public:
    int InsertString(int index, const std::string& text) {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // LB_ERR when no item is selected.
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    std::string GetText(int index) const { return ItemText(m_hWnd, index); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }

    static std::string ItemText(HWND list, int index);
};

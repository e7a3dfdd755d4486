#include "framework/controls.h"

std::string CListBox::ItemText(HWND list, int index) {
    LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

#include "controls/link_font.h"

LOGFONTA UnderlinedFontOf(HWND control) {
    LOGFONTA description{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font || GetObjectA(font, sizeof(description), &description) != sizeof(description)) {
        description = LOGFONTA{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    }
    description.lfUnderline = 1;
    return description;
}

#pragma once
// The font description of the hyperlink label.
#include <windows.h>

// The full description of the control's font with the underline set. A control without a font of
// its own draws in the system font, which does not describe a usable face; the default GUI font
// stands in for it.
LOGFONTA UnderlinedFontOf(HWND control);

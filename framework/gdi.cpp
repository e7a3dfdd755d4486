#include "framework/gdi.h"

#include <cstdlib>

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* font) {
    // Tenths of a point to pixels of the screen, as a font of that size would be shown.
    CWindowDC screen(nullptr);
    LOGFONTA scaled = *font;
    scaled.lfHeight =
        -std::abs(::MulDiv(::GetDeviceCaps(screen.Handle(), LOGPIXELSY), font->lfHeight, 720));
    return CreateFontIndirect(&scaled);
}

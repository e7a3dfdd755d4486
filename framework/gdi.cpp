#include "framework/gdi.h"

#include <cstdlib>
#include <cstring>

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* font) {
    // Tenths of a point to device units of the screen, as a font of that size would be shown.
    LOGFONTA scaled = *font;
    HDC screen = ::GetDC(nullptr);
    POINT height = {0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), font->lfHeight, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(screen, &height, 1);
    ::DPtoLP(screen, &origin, 1);
    ::ReleaseDC(nullptr, screen);
    scaled.lfHeight = -std::abs(height.y - origin.y);
    return CreateFontIndirect(&scaled);
}

BOOL CFont::CreatePointFont(int tenthsOfPoint, const char* face) {
    LOGFONTA font{};
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfHeight = tenthsOfPoint;
    if (face && std::strlen(face) < LF_FACESIZE) {
        std::strcpy(font.lfFaceName, face);
    }
    return CreatePointFontIndirect(&font);
}

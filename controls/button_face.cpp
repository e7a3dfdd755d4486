#include "controls/button_face.h"

#include "framework/gdi.h"

namespace {

void FillPixels(HDC dc, int x, int y, int cx, int cy, COLORREF colour) {
    // An opaque ExtTextOut fills a rectangle without creating a brush.
    COLORREF old = SetBkColor(dc, colour);
    RECT r = {x, y, x + cx, y + cy};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void DrawCaption(HDC dc, int x, int y, const std::string& caption) {
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, caption.data(), static_cast<int>(caption.size()));
}

} // namespace

void DrawFrame(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    const int x = rect.left, y = rect.top;
    const int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (cx <= 0 || cy <= 0) {
        return;
    }
    FillPixels(dc, x, y, cx - 1, 1, topLeft);
    FillPixels(dc, x, y, 1, cy - 1, topLeft);
    FillPixels(dc, x + cx - 1, y, 1, cy, bottomRight);
    FillPixels(dc, x, y + cy - 1, cx, 1, bottomRight);
}

POINT CaptionOrigin(const RECT& rect, SIZE text) {
    POINT origin;
    origin.x = (rect.right - text.cx - rect.left) / 2;
    origin.y = (rect.bottom - text.cy - rect.top) / 2;
    return origin;
}

void DrawButtonFace(const DRAWITEMSTRUCT& item, bool hover, HBITMAP snapshot,
                    const std::string& caption) {
    RECT rect;
    CopyRect(&rect, &item.rcItem);
    HDC dc = item.hDC;
    if (item.CtlType != ODT_BUTTON) {
        return;
    }
    CMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) {
        return;
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    auto faceCopy = [&] {
        if (snapshot) {
            CSelectObject select(memory.Get(), snapshot);
            BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
        } else {
            // Asked to draw before the first background erase: no snapshot yet, so show the
            // dialog's own background colour rather than whatever the DC holds.
            FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        }
    };

    faceCopy();
    SIZE text = {0, 0};
    GetTextExtentPoint32A(dc, caption.data(), static_cast<int>(caption.size()), &text);
    const POINT at = CaptionOrigin(rect, text);

    if (hover) {
        DrawFrame(dc, rect, kRaisedOuterLight, kRaisedOuterDark);
        InflateRect(&rect, -1, -1);
        DrawFrame(dc, rect, kRaisedInnerLight, kRaisedInnerDark);
        InflateRect(&rect, 1, 1);
        DrawCaption(dc, at.x - 1, at.y - 1, caption);
    } else {
        DrawCaption(dc, at.x, at.y, caption);
    }
    if ((item.itemState & ODS_FOCUS) && !hover) {
        faceCopy();
        DrawFrame(dc, rect, kRaisedOuterLight, kRaisedOuterDark);
        DrawCaption(dc, at.x - 1, at.y - 1, caption);
    }
    if (item.itemState & ODS_SELECTED) {
        faceCopy();
        DrawFrame(dc, rect, kSunkenLight, kSunkenDark);
        DrawCaption(dc, at.x + 1, at.y + 1, caption);
    }
    if (item.itemState & ODS_DISABLED) {
        faceCopy();
        SetTextColor(dc, kDisabledText);
        DrawFrame(dc, rect, kRaisedOuterLight, kRaisedOuterDark);
        DrawCaption(dc, at.x, at.y, caption);
    }
}

#pragma once
// Painting of the flat bitmap button, apart from its window so that it can be drawn anywhere.
#include <windows.h>

#include <string>

// Frame colours of the button states.
constexpr COLORREF kRaisedOuterLight = RGB(198, 215, 229);
constexpr COLORREF kRaisedOuterDark = RGB(37, 50, 62);
constexpr COLORREF kRaisedInnerLight = RGB(155, 185, 211);
constexpr COLORREF kRaisedInnerDark = RGB(71, 94, 116);
constexpr COLORREF kSunkenLight = RGB(100, 100, 100);
constexpr COLORREF kSunkenDark = RGB(255, 255, 255);
constexpr COLORREF kDisabledText = RGB(128, 128, 128);

// One-pixel frame: top row and left column (without their last pixel) in topLeft, right column
// and bottom row in bottomRight, so the top-right and bottom-left corners take bottomRight.
void DrawFrame(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);

// Where a caption of the given extent starts so that it is centred in rect; each coordinate is
// halved with truncation toward zero, so a caption larger than the rect starts left of / above it.
POINT CaptionOrigin(const RECT& rect, SIZE text);

// Draws the button for one owner-draw request: the face (the snapshot of the parent's pixels, or
// the dialog background colour while there is none yet), then the hover, focus, pressed and
// disabled marks, each applicable one over the previous.
void DrawButtonFace(const DRAWITEMSTRUCT& item, bool hover, HBITMAP snapshot,
                    const std::string& caption);

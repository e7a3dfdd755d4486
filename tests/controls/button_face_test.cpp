// The flat button's painting, rendered into bitmaps: frames, corner colours, caption offsets.
#include "controls/button_face.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr int kWidth = 120;
constexpr int kHeight = 48;

// A 32-bit top-down bitmap selected into its own memory DC; pixels read back exactly.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        SelectObject(m_dc, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(m_dc, kInk);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF colour) {
        RECT all = {0, 0, m_width, m_height};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    // Gives the bitmap away (for use as a snapshot) by deselecting it.
    HBITMAP Release() {
        SelectObject(m_dc, m_old);
        HBITMAP b = m_bitmap;
        m_bitmap = nullptr;
        return b;
    }
    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

struct Snapshot {
    Snapshot() {
        Canvas c(kWidth, kHeight, kBackground);
        bitmap = c.Release();
    }
    ~Snapshot() { DeleteObject(bitmap); }
    HBITMAP bitmap;
};

const std::string kCaption = "Driver";

DRAWITEMSTRUCT Item(HDC dc, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 1025;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hDC = dc;
    item.rcItem = {0, 0, kWidth, kHeight};
    return item;
}

// Where the caption of kCaption starts when centred, as the button computes it.
POINT Centre(HDC dc) {
    SIZE text;
    GetTextExtentPoint32A(dc, kCaption.data(), static_cast<int>(kCaption.size()), &text);
    RECT rect = {0, 0, kWidth, kHeight};
    return CaptionOrigin(rect, text);
}

// True when the inside of the canvas (two pixels off every edge) shows kCaption in colour ink at
// (x, y) on the background, and nothing else.
::testing::AssertionResult CaptionAt(const Canvas& drawn, int x, int y, COLORREF ink) {
    Canvas expected(kWidth, kHeight, kBackground);
    SetTextColor(expected.dc(), ink);
    SetBkMode(expected.dc(), TRANSPARENT);
    TextOutA(expected.dc(), x, y, kCaption.data(), static_cast<int>(kCaption.size()));
    int inked = 0;
    for (int py = 2; py < kHeight - 2; ++py) {
        for (int px = 2; px < kWidth - 2; ++px) {
            if (drawn.At(px, py) != expected.At(px, py)) {
                return ::testing::AssertionFailure() << "pixel " << px << "," << py << " differs";
            }
            inked += expected.At(px, py) != kBackground;
        }
    }
    if (inked == 0) {
        return ::testing::AssertionFailure() << "no caption pixels";
    }
    return ::testing::AssertionSuccess();
}

void ExpectFrame(const Canvas& c, int inset, COLORREF light, COLORREF dark) {
    const int l = inset, t = inset, r = kWidth - 1 - inset, b = kHeight - 1 - inset;
    EXPECT_EQ(c.At(l, t), light) << "top-left corner";
    EXPECT_EQ(c.At(r - 1, t), light) << "top row";
    EXPECT_EQ(c.At(l, b - 1), light) << "left column";
    EXPECT_EQ(c.At(r, t), dark) << "top-right corner";
    EXPECT_EQ(c.At(l, b), dark) << "bottom-left corner";
    EXPECT_EQ(c.At(r, b), dark) << "bottom-right corner";
    EXPECT_EQ(c.At(r, (t + b) / 2), dark) << "right column";
    EXPECT_EQ(c.At((l + r) / 2, b), dark) << "bottom row";
}

void ExpectNoFrame(const Canvas& c) {
    EXPECT_EQ(c.At(0, 0), kBackground);
    EXPECT_EQ(c.At(kWidth - 1, 0), kBackground);
    EXPECT_EQ(c.At(0, kHeight - 1), kBackground);
    EXPECT_EQ(c.At(kWidth - 1, kHeight - 1), kBackground);
}

} // namespace

TEST(ButtonFace, IdleShowsTheSnapshotAndTheCentredCaptionWithoutFrame) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), 0), false, snapshot.bitmap, kCaption);
    ExpectNoFrame(c);
    POINT at = Centre(c.dc());
    EXPECT_TRUE(CaptionAt(c, at.x, at.y, kInk));
}

TEST(ButtonFace, HoverDrawsTheDoubleRaisedFrameAndLiftsTheCaption) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), 0), true, snapshot.bitmap, kCaption);
    ExpectFrame(c, 0, kRaisedOuterLight, kRaisedOuterDark);
    ExpectFrame(c, 1, kRaisedInnerLight, kRaisedInnerDark);
    EXPECT_EQ(c.At(2, 2), kBackground);
    POINT at = Centre(c.dc());
    EXPECT_TRUE(CaptionAt(c, at.x - 1, at.y - 1, kInk));
}

TEST(ButtonFace, FocusWithoutHoverDrawsTheSingleRaisedFrame) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), ODS_FOCUS), false, snapshot.bitmap, kCaption);
    ExpectFrame(c, 0, kRaisedOuterLight, kRaisedOuterDark);
    EXPECT_EQ(c.At(1, 1), kBackground);
    EXPECT_EQ(c.At(kWidth - 2, kHeight - 2), kBackground);
    POINT at = Centre(c.dc());
    EXPECT_TRUE(CaptionAt(c, at.x - 1, at.y - 1, kInk));
}

TEST(ButtonFace, FocusWhileHoveringKeepsTheHoverLook) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), ODS_FOCUS), true, snapshot.bitmap, kCaption);
    ExpectFrame(c, 1, kRaisedInnerLight, kRaisedInnerDark);
}

TEST(ButtonFace, PressedDrawsTheSunkenFrameAndLowersTheCaption) {
    Snapshot snapshot;
    for (bool hover : {false, true}) {
        SCOPED_TRACE(hover ? "hovering" : "not hovering");
        Canvas c(kWidth, kHeight, RGB(255, 0, 255));
        DrawButtonFace(Item(c.dc(), ODS_SELECTED | ODS_FOCUS), hover, snapshot.bitmap, kCaption);
        ExpectFrame(c, 0, kSunkenLight, kSunkenDark);
        EXPECT_EQ(c.At(1, 1), kBackground) << "the face copy wipes the earlier frames";
        POINT at = Centre(c.dc());
        EXPECT_TRUE(CaptionAt(c, at.x + 1, at.y + 1, kInk));
    }
}

TEST(ButtonFace, DisabledShowsAGreyCentredCaptionInTheRaisedFrame) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), ODS_DISABLED), false, snapshot.bitmap, kCaption);
    ExpectFrame(c, 0, kRaisedOuterLight, kRaisedOuterDark);
    POINT at = Centre(c.dc());
    EXPECT_TRUE(CaptionAt(c, at.x, at.y, kDisabledText));
}

TEST(ButtonFace, BeforeTheFirstEraseTheFaceIsTheDialogBackground) {
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DrawButtonFace(Item(c.dc(), 0), false, nullptr, "");
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.At(kWidth / 2, kHeight / 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(c.At(kWidth - 1, kHeight - 1), GetSysColor(COLOR_BTNFACE));
}

TEST(ButtonFace, DrawsNothingForAnotherControlType) {
    Snapshot snapshot;
    Canvas c(kWidth, kHeight, RGB(255, 0, 255));
    DRAWITEMSTRUCT item = Item(c.dc(), ODS_FOCUS);
    item.CtlType = ODT_STATIC;
    DrawButtonFace(item, true, snapshot.bitmap, kCaption);
    EXPECT_EQ(c.At(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(c.At(kWidth / 2, kHeight / 2), RGB(255, 0, 255));
}

TEST(ButtonFace, FrameCornersAndCaptionOriginArithmetic) {
    Canvas c(6, 4, RGB(255, 255, 255));
    RECT r = {0, 0, 6, 4};
    DrawFrame(c.dc(), r, RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(c.At(4, 0), RGB(1, 2, 3)); // top row: first w - 1 pixels
    EXPECT_EQ(c.At(5, 0), RGB(4, 5, 6));
    EXPECT_EQ(c.At(0, 2), RGB(1, 2, 3)); // left column: first h - 1 pixels
    EXPECT_EQ(c.At(0, 3), RGB(4, 5, 6));
    EXPECT_EQ(c.At(2, 2), RGB(255, 255, 255));

    RECT button = {0, 0, 10, 10};
    POINT p = CaptionOrigin(button, SIZE{4, 3});
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 3); // 7 / 2
    // Larger than the button: halved toward zero, not toward minus infinity.
    p = CaptionOrigin(button, SIZE{13, 15});
    EXPECT_EQ(p.x, -1);
    EXPECT_EQ(p.y, -2);
}

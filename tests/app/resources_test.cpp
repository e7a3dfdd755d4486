// Resources read back from the built Setup.exe: manifest, version record, launcher, about box and
// wizard templates (Chinese texts as the right characters), application icon and hand cursor.
#include "res/launcher_ids.h"
#include "res/wizard_ids.h"
#include "tests/support/paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class BuiltProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_module = LoadLibraryExA(BuiltSetupExe().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (s_module) {
            FreeLibrary(s_module);
        }
    }
    void SetUp() override { ASSERT_NE(s_module, nullptr) << BuiltSetupExe(); }

    // The bytes of one resource, empty when it is missing.
    static std::string Bytes(LPCSTR type, LPCSTR name, WORD language) {
        HRSRC found = FindResourceExA(s_module, type, name, language);
        if (!found) {
            return {};
        }
        HGLOBAL loaded = LoadResource(s_module, found);
        const char* data = static_cast<const char*>(LockResource(loaded));
        return data ? std::string(data, SizeofResource(s_module, found)) : std::string();
    }

    static HMODULE s_module;
};
HMODULE BuiltProgram::s_module = nullptr;

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) {
        s += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return s;
}

// Reads the parts of an extended dialog template.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : m_bytes(bytes) {}
    WORD Word() {
        WORD w = 0;
        if (m_at + 2 <= m_bytes.size()) {
            std::memcpy(&w, m_bytes.data() + m_at, 2);
        }
        m_at += 2;
        return w;
    }
    DWORD Dword() {
        DWORD lo = Word();
        return lo | (static_cast<DWORD>(Word()) << 16);
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() {
        BYTE b = m_at < m_bytes.size() ? static_cast<BYTE>(m_bytes[m_at]) : 0;
        ++m_at;
        return b;
    }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); c != 0 && m_at <= m_bytes.size(); c = Word()) {
            s += static_cast<wchar_t>(c);
        }
        return s;
    }
    // A string or, after 0xFFFF, an ordinal written as "#n".
    std::wstring StringOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) {
            return L"#" + std::to_wstring(Word());
        }
        if (first == 0) {
            return L"";
        }
        m_at -= 2;
        return String();
    }
    void AlignDword() { m_at = (m_at + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t n) { m_at += n; }
    bool Overrun() const { return m_at > m_bytes.size(); }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

struct ControlTemplate {
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::wstring className, text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title, face;
    WORD points = 0, weight = 0;
    BYTE charset = 0;
    std::vector<ControlTemplate> controls;
};

DialogTemplate ParseTemplate(const std::string& bytes) {
    DialogTemplate d;
    TemplateReader r(bytes);
    d.extended = r.Word() == 1 && r.Word() == 0xFFFF;
    r.Dword(); // help id
    d.exStyle = r.Dword();
    d.style = r.Dword();
    WORD count = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    r.StringOrOrdinal(); // menu
    r.StringOrOrdinal(); // class
    d.title = r.String();
    if (d.style & DS_SETFONT) {
        d.points = r.Word();
        d.weight = r.Word();
        r.Byte(); // italic
        d.charset = r.Byte();
        d.face = r.String();
    }
    for (WORD i = 0; i < count && !r.Overrun(); ++i) {
        r.AlignDword();
        ControlTemplate c;
        r.Dword(); // help id
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = r.Short(), c.y = r.Short(), c.cx = r.Short(), c.cy = r.Short();
        c.id = static_cast<int>(r.Dword());
        c.className = r.StringOrOrdinal();
        // The class may be written as an ordinal or as a name in any case.
        if (c.className == L"#128" || _wcsicmp(c.className.c_str(), L"Button") == 0) {
            c.className = L"Button";
        } else if (c.className == L"#130" || _wcsicmp(c.className.c_str(), L"Static") == 0) {
            c.className = L"Static";
        }
        c.text = r.StringOrOrdinal();
        r.Skip(r.Word());
        d.controls.push_back(c);
    }
    return d;
}

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

void ExpectControls(const DialogTemplate& d, const std::vector<ExpectedControl>& expected) {
    ASSERT_EQ(d.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ControlTemplate& c = d.controls[i];
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(e.id) + ")");
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.className, e.className);
        if (e.text) {
            EXPECT_EQ(c.text, e.text);
        }
        EXPECT_EQ(c.style, e.style) << std::hex << c.style;
        EXPECT_EQ(c.exStyle, e.exStyle) << std::hex << c.exStyle;
        EXPECT_EQ(c.x, e.x);
        EXPECT_EQ(c.y, e.y);
        EXPECT_EQ(c.cx, e.cx);
        EXPECT_EQ(c.cy, e.cy);
    }
}

// The string entries of the version record's string table "040904b0", in file order.
std::vector<std::pair<std::wstring, std::wstring>> VersionStrings(const std::string& record) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    // Each block: length, value length, type, key, padding, value, padding, child blocks.
    struct Walker {
        const std::string& bytes;
        std::vector<std::pair<std::wstring, std::wstring>>& out;
        void Block(size_t at, size_t end, int depth, const std::wstring& parent) {
            while (at + 6 <= end) {
                WORD length, valueLength, type;
                std::memcpy(&length, bytes.data() + at, 2);
                std::memcpy(&valueLength, bytes.data() + at + 2, 2);
                std::memcpy(&type, bytes.data() + at + 4, 2);
                if (length < 6 || at + length > end) {
                    return;
                }
                std::wstring key;
                size_t p = at + 6;
                for (WORD c; p + 2 <= at + length; p += 2) {
                    std::memcpy(&c, bytes.data() + p, 2);
                    if (c == 0) {
                        p += 2;
                        break;
                    }
                    key += static_cast<wchar_t>(c);
                }
                p = (p + 3) & ~static_cast<size_t>(3);
                if (depth == 3 && parent == L"040904b0") {
                    std::wstring value;
                    for (WORD i = 0, c; i < valueLength && p + 2 * i + 2 <= at + length; ++i) {
                        std::memcpy(&c, bytes.data() + p + 2 * i, 2);
                        if (c) {
                            value += static_cast<wchar_t>(c);
                        }
                    }
                    out.emplace_back(key, value);
                } else {
                    size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;
                    size_t children = (p + valueBytes + 3) & ~static_cast<size_t>(3);
                    Block(children, at + length, depth + 1, key);
                }
                at = (at + length + 3) & ~static_cast<size_t>(3);
            }
        }
    } walker{record, out};
    walker.Block(0, record.size(), 0, L"");
    return out;
}

} // namespace

TEST_F(BuiltProgram, ManifestDemandsAdministratorAndNamesBothSupportedSystems) {
    std::string manifest = Bytes(RT_MANIFEST, MAKEINTRESOURCEA(1), 1033);
    ASSERT_FALSE(manifest.empty()) << "no manifest 1 in language 1033";
    EXPECT_THAT(manifest, HasSubstr("level=\"requireAdministrator\""));
    EXPECT_THAT(manifest, HasSubstr("uiAccess=\"false\""));
    EXPECT_THAT(manifest, HasSubstr("{e2011457-1546-43c5-a5fe-008deee3d3f0}"));
    EXPECT_THAT(manifest, HasSubstr("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"));
    EXPECT_THAT(manifest, HasSubstr("version=\"1.0.0.0\""));
    EXPECT_THAT(manifest, HasSubstr("processorArchitecture=\"x86\""));
    EXPECT_THAT(manifest, HasSubstr("name=\"Installer\""));
    EXPECT_THAT(manifest, HasSubstr("type=\"win32\""));
    // Classic-style controls: no version-6 common controls.
    EXPECT_THAT(manifest, Not(HasSubstr("Common-Controls")));
}

TEST_F(BuiltProgram, VersionRecordHoldsExactlyTheDeliveredFields) {
    std::string record = Bytes(RT_VERSION, MAKEINTRESOURCEA(1), 1033);
    ASSERT_FALSE(record.empty());
    std::string copy = record; // VerQueryValue wants writable memory
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(copy.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x4u);
    EXPECT_EQ(fixed->dwFileType, 0x1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(copy.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"FileVersion", L"1, 0, 0, 1"},     {L"InternalName", L"Setup"},
        {L"OriginalFilename", L"Setup.EXE"}, {L"ProductName", L"Setup"},
        {L"ProductVersion", L"1, 0, 0, 1"},
    };
    EXPECT_EQ(VersionStrings(record), expected);
}

TEST_F(BuiltProgram, LauncherTemplateIsACaptionlessPopupWithTheDeliveredControls) {
    DialogTemplate d = ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_LAUNCHER), kChinese));
    ASSERT_TRUE(d.extended);
    EXPECT_EQ(d.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d.exStyle, static_cast<DWORD>(WS_EX_STATICEDGE | WS_EX_APPWINDOW));
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 271);
    EXPECT_EQ(d.cy, 220);
    EXPECT_EQ(d.title, L"");
    EXPECT_EQ(d.face, L"\u5b8b\u4f53");
    EXPECT_EQ(d.points, 10);
    EXPECT_EQ(d.weight, 400);
    EXPECT_EQ(d.charset, 134);
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CENTER | BS_VCENTER;
    ExpectControls(
        d, {
               {IDC_WEB_LINK, L"Static", nullptr, WS_CHILD | WS_TABSTOP | SS_NOTIFY | SS_CENTER, 0,
                148, 197, 109, 11},
               {IDC_TITLE_TEXT, L"Static",
                L"Brenmark\u5fae\u578b\u6253\u5370\u673a\u9a71\u52a8\u5b89\u88c5\u7a0b\u5e8f",
                WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 124, 53, 131, 40},
               {IDC_BTN_NOTES, L"Button", L"\u5b89 \u88c5 \u8bf4 \u660e    ", button,
                WS_EX_DLGMODALFRAME, 12, 9, 91, 66},
               {IDC_BTN_DRIVER, L"Button", L"\u9a71 \u52a8 \u7a0b \u5e8f    ", button,
                WS_EX_DLGMODALFRAME, 12, 76, 91, 66},
               {IDC_BTN_EXIT, L"Button", L"\u9000       \u51fa   ", button, WS_EX_DLGMODALFRAME, 12,
                143, 91, 66},
               {IDC_VERSION_TEXT, L"Static", L"\u9759\u6001", WS_CHILD | WS_VISIBLE | SS_LEFT, 0,
                178, 111, 33, 25},
           });
    EXPECT_THAT(Narrow(d.controls[0].text), HasSubstr("http"));
}

TEST_F(BuiltProgram, AboutBoxTemplateShowsIconVersionNoticeAndOk) {
    DialogTemplate d = ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUTBOX), kChinese));
    ASSERT_TRUE(d.extended);
    EXPECT_EQ(d.style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d.cx, 235);
    EXPECT_EQ(d.cy, 55);
    EXPECT_EQ(d.title, L"\u5173\u4e8eBrenmark\u5fae\u578b\u6253\u5370\u673a\u9a71\u52a8\u7a0b"
                       L"\u5e8f\u5b89\u88c5\u7cfb\u7edf");
    EXPECT_EQ(d.face, L"\u5b8b\u4f53");
    EXPECT_EQ(d.points, 9);
    const DWORD shown = WS_CHILD | WS_VISIBLE;
    ExpectControls(d, {
                          {-1, L"Static", L"#128", shown | SS_ICON, 0, 11, 17, 20, 20},
                          {-1, L"Static", L"Installer 1.0 \u7248", shown | SS_NOPREFIX | WS_GROUP,
                           0, 40, 10, 119, 8},
                          {-1, L"Static", nullptr, shown | WS_GROUP, 0, 40, 25, 119, 8},
                          {IDOK, L"Button", L"\u786e\u5b9a",
                           shown | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, 178, 7, 50, 14},
                      });
    EXPECT_FALSE(d.controls[2].text.empty()) << "the notice line";
}

TEST_F(BuiltProgram, ApplicationIconHasALargeAndASmallImage) {
    HICON big =
        static_cast<HICON>(LoadImageA(s_module, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(big, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(big, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour{};
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(big);

    // The group lists a 32 x 32 and a 16 x 16 image.
    std::string group =
        Bytes(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_GE(group.size(), 6u + 2 * 14u);
    EXPECT_EQ(static_cast<BYTE>(group[6]), 32);
    EXPECT_EQ(static_cast<BYTE>(group[6 + 14]), 16);
}

TEST_F(BuiltProgram, HandCursorIsA32By32MonochromeCursorWithItsHotSpotAtTheOrigin) {
    std::string group = Bytes(RT_GROUP_CURSOR, MAKEINTRESOURCEA(IDC_HAND_CURSOR),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_GE(group.size(), 6u + 14u);
    WORD count, cursorId;
    std::memcpy(&count, group.data() + 4, 2);
    std::memcpy(&cursorId, group.data() + 6 + 12, 2);
    ASSERT_EQ(count, 1);
    std::string image =
        Bytes(RT_CURSOR, MAKEINTRESOURCEA(cursorId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_GE(image.size(), 4u + sizeof(BITMAPINFOHEADER));
    WORD hot[2];
    std::memcpy(hot, image.data(), 4);
    EXPECT_EQ(hot[0], 0);
    EXPECT_EQ(hot[1], 0);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data() + 4, sizeof(header));
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64); // image and mask
    EXPECT_EQ(header.biBitCount, 1);

    // Loaded as the controls load it: from the resources linked into this program.
    HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
}

TEST_F(BuiltProgram, WizardFrameTemplateIsChineseOnlyWithItsButtonsAndPageArea) {
    EXPECT_TRUE(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_INSTALL), kEnglish).empty());
    DialogTemplate d = ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_INSTALL), kChinese));
    ASSERT_TRUE(d.extended);
    EXPECT_EQ(d.style,
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d.cx, 293);
    EXPECT_EQ(d.cy, 219);
    EXPECT_EQ(d.title,
              L"Brenmark\u5fae\u578b\u6253\u5370\u673a\u9a71\u52a8\u5b89\u88c5\u5411\u5bfc");
    EXPECT_EQ(d.face, L"\u5b8b\u4f53");
    EXPECT_EQ(d.points, 10);
    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    ExpectControls(
        d, {
               {IDC_BTN_BACK, L"Button", L"\u4e0a\u4e00\u6b65", button | BS_PUSHBUTTON, 0, 115, 188,
                48, 15},
               {IDC_BTN_NEXT, L"Button", L"\u4e0b\u4e00\u6b65", button | BS_DEFPUSHBUTTON, 0, 176,
                188, 48, 15},
               {IDCANCEL, L"Button", L"\u53d6\u6d88", button | BS_PUSHBUTTON, 0, 237, 188, 48, 15},
               {IDC_PAGE_AREA, L"Static", L"Static", WS_CHILD | SS_LEFT, WS_EX_STATICEDGE, 7, 8,
                278, 159},
               {-1, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 7, 178, 278, 1},
           });
}

TEST_F(BuiltProgram, ProgressBoxTemplateExistsInChineseAndEnglish) {
    struct Variant {
        WORD language;
        const wchar_t *title, *label;
        short labelWidth, fieldX;
    };
    for (const Variant& v :
         {Variant{kChinese, L"\u5b89\u88c5\u8fdb\u5ea6", L"\u5b89\u88c5\u5df2\u5b8c\u6210", 38, 69},
          Variant{kEnglish, L"Setup Progress", L"Setup complete", 85, 87}}) {
        SCOPED_TRACE(v.language);
        DialogTemplate d = ParseTemplate(Bytes(RT_DIALOG, "PROCESSBOX", v.language));
        ASSERT_TRUE(d.extended);
        EXPECT_EQ(d.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                              DS_SETFONT));
        EXPECT_EQ(d.cx, 200);
        EXPECT_EQ(d.cy, 88);
        EXPECT_EQ(d.points, 10);
        EXPECT_EQ(d.title, v.title);
        ASSERT_EQ(d.controls.size(), 3u);
        EXPECT_EQ(d.controls[0].id, IDC_PROGRESS_BAR);
        EXPECT_EQ(_wcsicmp(d.controls[0].className.c_str(), L"msctls_progress32"), 0);
        EXPECT_TRUE(d.controls[0].style & PBS_SMOOTH);
        EXPECT_EQ(d.controls[0].x, 25);
        EXPECT_EQ(d.controls[0].cx, 149);
        EXPECT_EQ(d.controls[1].text, v.label);
        EXPECT_EQ(d.controls[1].cx, v.labelWidth);
        const ControlTemplate& field = d.controls[2];
        EXPECT_EQ(field.id, IDC_PERCENT_TEXT);
        EXPECT_EQ(field.style & (WS_DISABLED | ES_READONLY | ES_AUTOHSCROLL),
                  static_cast<DWORD>(WS_DISABLED | ES_READONLY | ES_AUTOHSCROLL));
        EXPECT_EQ(field.x, v.fieldX);
        EXPECT_EQ(field.y, 25);
    }
}

TEST_F(BuiltProgram, WizardPagesAreHiddenChildrenInBothLanguages) {
    struct Page {
        UINT id;
        short cx, cy;
    };
    for (const Page& page : {Page{IDD_STEP_WELCOME, 278, 159}, Page{IDD_STEP_AGREEMENT, 278, 159},
                             Page{IDD_STEP_MODEL, 276, 156}, Page{IDD_STEP_PORT, 276, 176},
                             Page{IDD_STEP_CONFIRM, 270, 155}}) {
        for (WORD language : {kChinese, kEnglish}) {
            SCOPED_TRACE(std::to_string(page.id) + "/" + std::to_string(language));
            DialogTemplate d = ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(page.id), language));
            ASSERT_TRUE(d.extended);
            EXPECT_EQ(d.style & (WS_CHILD | WS_BORDER | WS_VISIBLE),
                      static_cast<DWORD>(WS_CHILD | WS_BORDER));
            EXPECT_EQ(d.cx, page.cx);
            EXPECT_EQ(d.cy, page.cy);
            EXPECT_EQ(d.charset, 134);
        }
    }
    DialogTemplate welcome =
        ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_STEP_WELCOME), kChinese));
    ASSERT_FALSE(welcome.controls.empty());
    EXPECT_EQ(welcome.controls[0].text,
              L"\u6b22\u8fce\u4f7f\u7528Brenmark\u5fae\u578b\u6253\u5370\u673a\u9a71\u52a8\u7a0b"
              L"\u5e8f\u5b89\u88c5\u5411\u5bfc\u3002");
    DialogTemplate port =
        ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_STEP_PORT), kChinese));
    EXPECT_EQ(port.points, 9);
    DialogTemplate confirm =
        ParseTemplate(Bytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_STEP_CONFIRM), kEnglish));
    ASSERT_EQ(confirm.controls.size(), 7u);
    EXPECT_EQ(confirm.controls[3].id, IDC_CONFIRM_MODEL);
    EXPECT_EQ(confirm.controls[3].text, L"??");
    EXPECT_EQ(confirm.controls[4].text, L"---Printer Port:");
}

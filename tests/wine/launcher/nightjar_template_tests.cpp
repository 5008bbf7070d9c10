// The dialog template inside Nightjar.exe, read as data: what the running dialog cannot show
// any more (the radio buttons' own tab-stop bits, the template kind, the font as written).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "nightjar_driver.h"
#include "support/temp_folder.h"

using namespace nightjar_test;

namespace {

// Reads a DLGTEMPLATEEX and its items.
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE *data) : p_(data) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    BYTE Byte() { return *p_++; }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); c; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A name or, after 0xFFFF, an ordinal (returned as "#n").
    std::wstring NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    void AlignDword(const BYTE *base) {
        while ((p_ - base) % 4)
            ++p_;
    }
    void Skip(size_t n) { p_ += n; }

  private:
    template <typename T> T Take() {
        T value;
        memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    const BYTE *p_;
};

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    int id;
    std::wstring windowClass, text;
};

TEST(NightjarTemplate, IsAnExtendedDialogWithTheSevenControlsAsWritten) {
    std::wstring exe = wintest::ProgramFolder() + L"\\Nightjar.exe";
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(101), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    ASSERT_NE(resource, nullptr) << "IDD_LAUNCHER is resource 101";
    const BYTE *base = static_cast<const BYTE *>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(base, nullptr);

    TemplateReader t(base);
    EXPECT_EQ(t.Word(), 1) << "dlgVer";
    ASSERT_EQ(t.Word(), 0xFFFF) << "an extended template";
    t.Dword(); // help id
    EXPECT_EQ(t.Dword(), 0u) << "extended style";
    DWORD style = t.Dword();
    EXPECT_EQ(style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION |
                                        WS_SYSMENU));
    WORD count = t.Word();
    EXPECT_EQ(t.Short(), 0);
    EXPECT_EQ(t.Short(), 0);
    EXPECT_EQ(t.Short(), 157);
    EXPECT_EQ(t.Short(), 54);
    EXPECT_EQ(t.NameOrOrdinal(), L"") << "no menu";
    EXPECT_EQ(t.NameOrOrdinal(), L"") << "the standard dialog class";
    EXPECT_EQ(t.Text(), L"Nightjar  1.0");
    EXPECT_EQ(t.Word(), 8) << "points";
    t.Word(); // weight
    t.Byte(); // italic
    t.Byte(); // character set
    EXPECT_EQ(t.Text(), L"MS Sans Serif");

    std::vector<TemplateItem> items;
    for (WORD i = 0; i < count; ++i) {
        t.AlignDword(base);
        TemplateItem item;
        t.Dword(); // help id
        t.Dword(); // extended style
        item.style = t.Dword();
        item.x = t.Short();
        item.y = t.Short();
        item.cx = t.Short();
        item.cy = t.Short();
        item.id = static_cast<int>(t.Dword());
        item.windowClass = t.NameOrOrdinal();
        item.text = t.NameOrOrdinal();
        t.Skip(t.Word()); // creation data
        items.push_back(item);
    }
    FreeLibrary(module);

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const TemplateItem expected[] = {
        {child | WS_TABSTOP | BS_PUSHBUTTON, 8, 30, 61, 17, 1003, L"#128", L"Fix GF3D Sound"},
        {child | BS_GROUPBOX, 8, 4, 114, 22, -1, L"#128", L""},
        {child | BS_AUTORADIOBUTTON, 16, 12, 57, 10, 1007, L"#128", L"Single Player"},
        {child | BS_AUTORADIOBUTTON, 80, 12, 33, 10, 1008, L"#128", L"MMP"},
        {child | WS_TABSTOP | BS_AUTOCHECKBOX, 74, 29, 77, 10, 1009, L"#128", L"Freeze Preferences"},
        {child | WS_TABSTOP | BS_AUTOCHECKBOX, 74, 38, 61, 10, 1010, L"#128", L"Launch GF3D"},
        {child | WS_TABSTOP | BS_PUSHBUTTON, 125, 8, 23, 18, 1011, L"#128", L"?"},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(items[i].style, expected[i].style) << std::hex << (items[i].style ^ expected[i].style);
        EXPECT_EQ(items[i].x, expected[i].x);
        EXPECT_EQ(items[i].y, expected[i].y);
        EXPECT_EQ(items[i].cx, expected[i].cx);
        EXPECT_EQ(items[i].cy, expected[i].cy);
        EXPECT_EQ(items[i].id, expected[i].id);
        // The button class is either the ordinal 0x80 or its name, depending on the compiler.
        EXPECT_TRUE(items[i].windowClass == L"#128" ||
                    _wcsicmp(items[i].windowClass.c_str(), L"Button") == 0);
        EXPECT_EQ(items[i].text, expected[i].text);
    }
}

} // namespace

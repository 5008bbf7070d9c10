#include <gtest/gtest.h>

#include "common/error.h"
#include "common/text.h"

using namespace mend;

TEST(Text, Utf8RoundTripKeepsEveryPlane) {
    std::wstring text = L"Gale Falcon \u00e9\u4e2d";
    text += static_cast<wchar_t>(0x1F600); // outside the basic plane: a surrogate pair on Windows
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
    EXPECT_EQ(Utf8FromWide(L"\u00e9"), "\xc3\xa9");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(WideFromUtf8("a\xff"
                           "b"),
              L"a\ufffd"
              L"b");
    EXPECT_EQ(WideFromUtf8("\xc3"), L"\ufffd");           // cut short
    EXPECT_EQ(WideFromUtf8("\xc0\xaf"), L"\ufffd\ufffd"); // overlong slash
}

TEST(Text, LowerAsciiTouchesOnlyAToZ) {
    EXPECT_EQ(LowerAscii(std::wstring(L"NVIDIA Corp \u00c9")), L"nvidia corp \u00c9");
    EXPECT_TRUE(Contains(L"windows xp", L"xp"));
}

TEST(Text, JoinPathAddsNoSecondSeparator) {
    EXPECT_EQ(JoinPath(L"C:\\Games\\GF3D", L"Nightjar.EXE"), L"C:\\Games\\GF3D\\Nightjar.EXE");
    EXPECT_EQ(JoinPath(L"D:\\", L"Nightjar.EXE"), L"D:\\Nightjar.EXE");
    EXPECT_EQ(JoinPath("out/", "a.txt", '/'), "out/a.txt");
    EXPECT_EQ(JoinPath("", "a.txt", '/'), "a.txt");
    EXPECT_EQ(TrimSpaces(L"  \"C:\\a b\"  "), L"\"C:\\a b\"");
}

TEST(Text, ProgramNameDropsFolderAndExtension) {
    EXPECT_EQ(StripFolderAndExtension(L"C:\\Games\\GF3D\\mendpack.exe"), L"mendpack");
    EXPECT_EQ(StripFolderAndExtension(L"/usr/bin/ziptool"), L"ziptool");
    EXPECT_EQ(ComponentSource(L".VBUnzip"), L"common_tests.VBUnzip");
}

TEST(Error, CarriesNumberSourceAndDescription) {
    try {
        RaiseSubscriptOutOfRange(L"x.VBUnzip");
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.Number(), 9);
        EXPECT_EQ(e.Source(), L"x.VBUnzip");
        EXPECT_EQ(e.Description(), L"Subscript out of range");
    }
}

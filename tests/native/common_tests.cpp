#include <gtest/gtest.h>

#include "common/text.h"

using namespace mend;

TEST(Text, ConversionsCaseAndPathsAsTheKitNeedsThem) {
    std::wstring text = L"Gale Falcon \u00e9\u4e2d";
    text += static_cast<wchar_t>(0x1F600); // outside the basic plane: a surrogate pair on Windows
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
    const std::pair<std::wstring, std::wstring> rows[] = {
        {WideFromUtf8("a\xffz"), L"a\ufffdz"},
        {WideFromUtf8("\xc3"), L"\ufffd"},                              // cut short
        {WideFromUtf8("\xc0\xaf"), L"\ufffd\ufffd"},                    // an overlong slash is no slash
        {LowerAscii(std::wstring(L"NVIDIA \u00c9")), L"nvidia \u00c9"}, // A to Z only
        {JoinPath(L"C:\\Games\\GF3D", L"Nightjar.EXE"), L"C:\\Games\\GF3D\\Nightjar.EXE"},
        {JoinPath(L"D:\\", L"Nightjar.EXE"), L"D:\\Nightjar.EXE"}, // no second separator at a root
        {TrimSpaces(L"  \"C:\\a b\"  "), L"\"C:\\a b\""},
        {StripFolderAndExtension(L"C:\\Games\\GF3D\\mendpack.exe"), L"mendpack"},
        {StripFolderAndExtension(L"/usr/bin/ziptool"), L"ziptool"},
    };
    for (const auto &[got, want] : rows)
        EXPECT_EQ(got, want);
}

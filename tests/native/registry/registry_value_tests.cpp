#include <gtest/gtest.h>

#include "registry/registry_value.h"

using namespace registry;
using namespace std::string_literals;

// The edges that the reads of real values under Wine do not reach.
TEST(StoredData, TextLosesOnlyAFinalNulAndShortNumbersArePadded) {
    EXPECT_EQ(TextFromStored("abc"s), "abc") << "a text stored without its NUL loses nothing";
    EXPECT_EQ(TextFromStored("\0"s), "");
    EXPECT_EQ(DwordFromStored("\x01"s), 1);
    EXPECT_EQ(DwordFromStored(""s), 0);
    EXPECT_EQ(ReverseByteOrder(static_cast<std::int32_t>(0x80000001u)), 0x01000080);
    EXPECT_EQ(BytesFromStored(""s), (ByteArray{0}));
}

TEST(TextType, ExpandNeedsTwoPercentsWithSomethingBetween) {
    for (const wchar_t *expand : {L"%TEMP%\\x", L"a%b%", L"%%x%"})
        EXPECT_EQ(TextTypeFor(expand), kRegExpandSz) << expand;
    for (const wchar_t *plain : {L"100%", L"%%", L"x%%y", L"\"C:\\x.exe\" \"%1\"", L""})
        EXPECT_EQ(TextTypeFor(plain), kRegSz) << plain;
}

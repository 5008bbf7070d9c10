#include <gtest/gtest.h>

#include "registry/registry_value.h"

using namespace mend;
using namespace std::string_literals;

TEST(StoredText, DropsOnlyTheFinalNul) {
    EXPECT_EQ(TextFromStored("abc\0"s), "abc");
    EXPECT_EQ(TextFromStored("a\0b\0\0"s), "a\0b\0"s) << "a multi-string keeps its separators";
    EXPECT_EQ(TextFromStored("abc"s), "abc") << "a text stored without its NUL loses nothing";
    EXPECT_EQ(TextFromStored(""s), "");
    EXPECT_EQ(TextFromStored("\0"s), "");
}

TEST(StoredNumbers, LittleEndianAndReversedBigEndian) {
    EXPECT_EQ(DwordFromStored("\x78\x56\x34\x12"s), 0x12345678);
    EXPECT_EQ(DwordFromStored("\xff\xff\xff\xff"s), -1);
    EXPECT_EQ(DwordFromStored("\x01"s), 1) << "short data is padded with zeros";
    EXPECT_EQ(DwordFromStored(""s), 0);
    // Big-endian: the first stored byte is the most significant.
    EXPECT_EQ(ReverseByteOrder(DwordFromStored("\x01\x02\x03\x04"s)), 0x01020304);
    EXPECT_EQ(ReverseByteOrder(DwordFromStored("\x80\x00\x00\x01"s)), static_cast<std::int32_t>(0x80000001u));
}

TEST(StoredBytes, GetOneTrailingZero) {
    EXPECT_EQ(BytesFromStored("\x01\x02\x03"s), (ByteArray{1, 2, 3, 0}));
    EXPECT_EQ(BytesFromStored(""s), (ByteArray{0}));
}

TEST(TextType, ExpandNeedsTwoPercentsWithSomethingBetween) {
    EXPECT_EQ(TextTypeFor(L"%TEMP%\\x"), kRegExpandSz);
    EXPECT_EQ(TextTypeFor(L"a%b%"), kRegExpandSz);
    EXPECT_EQ(TextTypeFor(L"%%x%"), kRegExpandSz);
    EXPECT_EQ(TextTypeFor(L"100%"), kRegSz);
    EXPECT_EQ(TextTypeFor(L"%%"), kRegSz);
    EXPECT_EQ(TextTypeFor(L"x%%y"), kRegSz);
    EXPECT_EQ(TextTypeFor(L"\"C:\\x.exe\" \"%1\""), kRegSz);
    EXPECT_EQ(TextTypeFor(L""), kRegSz);
}

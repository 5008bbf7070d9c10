#include <gtest/gtest.h>

#include "registry/registry_errors.h"
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

TEST(StoredType, DecidesHowItIsRead) {
    EXPECT_EQ(ShapeOfStoredType(kRegSz), ReadShape::Text);
    EXPECT_EQ(ShapeOfStoredType(kRegMultiSz), ReadShape::Text);
    EXPECT_EQ(ShapeOfStoredType(kRegExpandSz), ReadShape::ExpandedText);
    EXPECT_EQ(ShapeOfStoredType(kRegDword), ReadShape::Dword);
    EXPECT_EQ(ShapeOfStoredType(kRegDwordBigEndian), ReadShape::BigEndianDword);
    for (std::int32_t bytes : {0, 3, 6, 8, 11, -1})
        EXPECT_EQ(ShapeOfStoredType(bytes), ReadShape::Bytes) << bytes;
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

TEST(TextForm, OfEveryKindOfValue) {
    EXPECT_EQ(TextForm({}), L"");
    EXPECT_EQ(TextForm(L"abc"s), L"abc");
    EXPECT_EQ(TextForm(std::int32_t{-2147483647 - 1}), L"-2147483648");
    EXPECT_EQ(TextForm(std::int16_t{-5}), L"-5");
    EXPECT_EQ(TextForm(ByteArray{'h', 'i'}), L"hi");
}

TEST(WritePlan, TextTypesFollowThePercentRuleNotValueType) {
    WritePlan plan = PlanWrite(kRegSz, L"%TEMP%\\x"s);
    EXPECT_EQ(plan.kind, WritePlan::Write);
    EXPECT_EQ(plan.type, kRegExpandSz);
    EXPECT_EQ(plan.text, L"%TEMP%\\x");
    EXPECT_EQ(PlanWrite(kRegExpandSz, L"100%"s).type, kRegSz);
    plan = PlanWrite(kRegSz, std::int32_t{42});
    EXPECT_EQ(plan.type, kRegSz);
    EXPECT_EQ(plan.text, L"42");
}

TEST(WritePlan, BinaryWritesEveryByteOfAnArrayAndRefusesAnythingElse) {
    WritePlan plan = PlanWrite(kRegBinary, ByteArray{1, 2, 3});
    EXPECT_EQ(plan.kind, WritePlan::Write);
    EXPECT_EQ(plan.type, kRegBinary);
    EXPECT_EQ(plan.data, (ByteArray{1, 2, 3}));
    EXPECT_EQ(PlanWrite(kRegBinary, ByteArray{}).data, ByteArray{});
    EXPECT_EQ(PlanWrite(kRegBinary, L"abc"s).kind, WritePlan::NotByteArray);
    EXPECT_EQ(PlanWrite(kRegBinary, std::int32_t{1}).kind, WritePlan::NotByteArray);
}

TEST(WritePlan, IntegersBecomeLittleEndianDwordsEvenForBigEndian) {
    for (std::int32_t type : {kRegDword, kRegDwordBigEndian}) {
        WritePlan plan = PlanWrite(type, std::int32_t{0x01020304});
        EXPECT_EQ(plan.kind, WritePlan::Write);
        EXPECT_EQ(plan.type, kRegDword);
        EXPECT_EQ(plan.data, (ByteArray{4, 3, 2, 1}));
    }
    EXPECT_EQ(PlanWrite(kRegDword, std::int16_t{-1}).data, (ByteArray{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(PlanWrite(kRegDword, L"7"s).kind, WritePlan::Nothing) << "no integer: nothing, and no failure";
    EXPECT_EQ(PlanWrite(kRegDword, ByteArray{1}).kind, WritePlan::Nothing);
}

TEST(WritePlan, OtherTypesAreInvalidData) {
    for (std::int32_t type : {0, 6, 7, 11, -1})
        EXPECT_EQ(PlanWrite(type, L"x"s).kind, WritePlan::InvalidData) << type;
}

TEST(RegistryMessages, QuoteRootsAsSignedDecimalsAndLeaveSomeQuotesOpen) {
    EXPECT_EQ(RootText(static_cast<std::int32_t>(0x80000002u)), L"-2147483646");
    EXPECT_EQ(CreateKeyFailedMessage(L"A\\B"), L"Failed to create registry Key: 'A\\B");
    EXPECT_EQ(DeleteKeyFailedMessage(static_cast<std::int32_t>(0x80000000u), L"S"),
              L"Failed to delete registry Key: '-2147483648',Section: 'S");
    EXPECT_EQ(OpenForDeleteFailedMessage(static_cast<std::int32_t>(0x80000001u), L"S"),
              L"Failed to open key '-2147483647',Section: 'S' for delete access");
    EXPECT_EQ(DeleteValueFailedMessage(static_cast<std::int32_t>(0x80000001u), L"S", L"V"),
              L"Failed to delete registry Key: '-2147483647',Section: 'S',Key: 'V");
    EXPECT_EQ(SetValueFailedMessage(0, L"S", L"V", L"old"),
              L"Failed to set registry value Key: '0',Section: 'S',Key: 'V' to value: 'old'");
    EXPECT_EQ(kErrSetValue, -2147194455L);
    EXPECT_EQ(kErrEnumerateSections, -2147194454L);
}

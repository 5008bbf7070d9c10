#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "test_keys.h"

using namespace mend;
using namespace regtest;
using namespace std::string_literals;

namespace {

const std::wstring kSource = L"registry_wine_tests.cRegistry";

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() : scratch_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        reg.ClassKey(kHkeyCurrentUser);
        reg.SectionKey(scratch_.WidePath());
    }
    const std::string &Path() const { return scratch_.Path(); }
    std::wstring WidePath() const { return scratch_.WidePath(); }
    RegistryValue Read(const std::wstring &name) {
        reg.ValueKey(name);
        return reg.Value();
    }
    void Write(const std::wstring &name, std::int32_t type, const RegistryValue &value) {
        reg.ValueKey(name);
        reg.ValueType(type);
        reg.Value(value);
    }

    ScratchKey scratch_;
    cRegistry reg;
};

// Runs `action`, which must raise, and gives back what it raised.
Error Raised(const std::function<void()> &action) {
    try {
        action();
    } catch (const Error &e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return Error(0, L"", L"");
}

} // namespace

TEST_F(RegistryTest, ReadsEveryStoredTypeAndTakesItsType) {
    SetRaw(HKEY_CURRENT_USER, Path(), "sz", REG_SZ, "Hello\0"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "multi", REG_MULTI_SZ, "a\0b\0\0"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "dword", REG_DWORD, "\x78\x56\x34\x12"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "big", REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "binary", REG_BINARY, "\x01\x02\x03"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "none", REG_NONE, "\x09"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "qword", REG_QWORD, "\x01\x00\x00\x00\x00\x00\x00\x80"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "", REG_SZ, "default\0"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "empty", REG_SZ, ""s);

    reg.ValueType(kRegSz);
    EXPECT_EQ(Read(L"sz"), RegistryValue(L"Hello"s));
    EXPECT_EQ(reg.ValueType(), kRegSz);
    EXPECT_EQ(Read(L"multi"), RegistryValue(L"a\0b\0"s)) << "four characters: a, NUL, b, NUL";
    EXPECT_EQ(reg.ValueType(), kRegMultiSz);
    EXPECT_EQ(Read(L"dword"), RegistryValue(std::int32_t{0x12345678}));
    EXPECT_EQ(reg.ValueType(), kRegDword);
    EXPECT_EQ(Read(L"big"), RegistryValue(std::int32_t{0x01020304})) << "first stored byte most significant";
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);
    EXPECT_EQ(Read(L"binary"), RegistryValue(ByteArray{1, 2, 3, 0})) << "indexes 0 to 3, the last 0";
    EXPECT_EQ(reg.ValueType(), kRegBinary);
    EXPECT_EQ(Read(L"none"), RegistryValue(ByteArray{9, 0}));
    EXPECT_EQ(reg.ValueType(), kRegNone);
    EXPECT_EQ(Read(L"qword"), RegistryValue(ByteArray{1, 0, 0, 0, 0, 0, 0, 0x80, 0}));
    EXPECT_EQ(reg.ValueType(), REG_QWORD);
    EXPECT_EQ(Read(L""), RegistryValue(L"default"s)) << "an empty value name is the key's default value";
    EXPECT_EQ(Read(L"empty"), RegistryValue(L""s)) << "stored with no bytes at all";
}

TEST_F(RegistryTest, ExpandsEnvironmentReferencesOfExpandStrings) {
    SetEnvironmentVariableA("MENDTEST_FOLDER", "C:\\Games\\GF3D");
    SetRaw(HKEY_CURRENT_USER, Path(), "path", REG_EXPAND_SZ, "%MENDTEST_FOLDER%\\Data\0"s);
    SetRaw(HKEY_CURRENT_USER, Path(), "unknown", REG_EXPAND_SZ, "%MENDTEST_NOT_SET%\0"s);
    EXPECT_EQ(Read(L"path"), RegistryValue(L"C:\\Games\\GF3D\\Data"s));
    EXPECT_EQ(reg.ValueType(), kRegExpandSz);
    EXPECT_EQ(Read(L"unknown"), RegistryValue(L"%MENDTEST_NOT_SET%"s));
}

TEST_F(RegistryTest, MissingValueOrKeyGivesDefaultAndKeepsValueType) {
    SetText(HKEY_CURRENT_USER, Path(), "there", "x");
    reg.ValueType(kRegDwordBigEndian);
    EXPECT_EQ(Read(L"missing"), RegistryValue()) << "a new object's Default is empty";

    reg.Default(std::int32_t{-7});
    EXPECT_EQ(Read(L"missing"), RegistryValue(std::int32_t{-7}));
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);

    reg.SectionKey(WidePath() + L"\\NoSuchKey");
    EXPECT_EQ(Read(L"there"), RegistryValue(std::int32_t{-7}));
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);

    reg.ClassKey(0); // no root at all: the open fails and no handle is used
    reg.SectionKey(WidePath());
    EXPECT_EQ(Read(L"there"), RegistryValue(std::int32_t{-7}));
}

TEST_F(RegistryTest, WritesTextsByThePercentRuleAndReadsThemBack) {
    Write(L"expand", kRegSz, L"%TEMP%\\x"s);
    Write(L"plain", kRegExpandSz, L"100%"s);
    Write(L"number", kRegSz, std::int32_t{42});
    Write(L"multi", kRegSz, L"a\0b\0"s);

    RawValue expand = GetRaw(HKEY_CURRENT_USER, Path(), "expand");
    EXPECT_EQ(expand.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(expand.data, "%TEMP%\\x\0"s);
    RawValue plain = GetRaw(HKEY_CURRENT_USER, Path(), "plain");
    EXPECT_EQ(plain.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(plain.data, "100%\0"s);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Path(), "number").data, "42\0"s);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Path(), "multi").data, "a\0b\0\0"s);

    EXPECT_EQ(Read(L"plain"), RegistryValue(L"100%"s));
    EXPECT_EQ(Read(L"multi"), RegistryValue(L"a\0b\0"s));

    reg.SectionKey(WidePath() + L"\\New\\Deeper");
    Write(L"v", kRegSz, L"made"s);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Path() + "\\New\\Deeper", "v").data, "made\0"s)
        << "the key path is created";
}

TEST_F(RegistryTest, WritesEveryByteOfAByteArray) {
    Write(L"bytes", kRegBinary, ByteArray{0xDE, 0xAD, 0xBE, 0xEF});
    RawValue stored = GetRaw(HKEY_CURRENT_USER, Path(), "bytes");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored.data, "\xDE\xAD\xBE\xEF"s);
    EXPECT_EQ(Read(L"bytes"), RegistryValue(ByteArray{0xDE, 0xAD, 0xBE, 0xEF, 0}));

    Error e = Raised([&] { Write(L"notBytes", kRegBinary, L"text"s); });
    EXPECT_EQ(e.Number(), kErrRegistry);
    EXPECT_EQ(e.Source(), kSource);
    EXPECT_EQ(e.Description(), L"Application-defined or object-defined error");
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, Path(), "notBytes").found);
}

TEST_F(RegistryTest, WritesIntegersAsMachineOrderDwords) {
    Write(L"long", kRegDword, std::int32_t{0x01020304});
    Write(L"short", kRegDword, std::int16_t{-1});
    Write(L"asBig", kRegDwordBigEndian, std::int32_t{0x01020304});
    for (const char *name : {"long", "asBig"}) {
        RawValue stored = GetRaw(HKEY_CURRENT_USER, Path(), name);
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(stored.data, "\x04\x03\x02\x01"s) << name;
    }
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Path(), "short").data, "\xFF\xFF\xFF\xFF"s);
    EXPECT_EQ(Read(L"short"), RegistryValue(std::int32_t{-1}));

    Write(L"textAsDword", kRegDword, L"12"s); // not an integer: quietly nothing
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, Path(), "textAsDword").found);
}

TEST_F(RegistryTest, FailedWritesRaiseWithTheLastWrittenValue) {
    Write(L"v", kRegSz, L"first"s);
    const std::wstring expected = L"Failed to set registry value Key: '-2147483647',Section: '" + WidePath() +
                                  L"',Key: 'v' to value: 'first'";
    Error unhandled = Raised([&] { Write(L"v", kRegMultiSz, L"second"s); });
    EXPECT_EQ(unhandled.Number(), kErrSetValue);
    EXPECT_EQ(unhandled.Number(), static_cast<std::int32_t>(0x800469A9u));
    EXPECT_EQ(unhandled.Source(), kSource);
    EXPECT_EQ(unhandled.Description(), expected);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Path(), "v").data, "first\0"s);

    reg.ClassKey(0);
    Error noKey = Raised([&] { Write(L"v", kRegSz, L"third"s); });
    EXPECT_EQ(noKey.Number(), kErrRegistry);
    EXPECT_EQ(noKey.Description(), L"Failed to set registry value Key: '0',Section: '" + WidePath() +
                                       L"',Key: 'v' to value: 'first'");
}

TEST_F(RegistryTest, KeysAreTestedCreatedAndDeleted) {
    reg.SectionKey(WidePath() + L"\\Child");
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey());
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey()) << "an existing key just opens";
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, Path() + "\\Child"));

    Error del = Raised([&] { reg.DeleteKey(); });
    EXPECT_EQ(del.Number(), kErrRegistry);
    EXPECT_EQ(del.Source(), kSource);
    EXPECT_EQ(del.Description(),
              L"Failed to delete registry Key: '-2147483647',Section: '" + WidePath() + L"\\Child");

    reg.ClassKey(0);
    Error create = Raised([&] { reg.CreateKey(); });
    EXPECT_EQ(create.Number(), kErrRegistry);
    EXPECT_EQ(create.Description(), L"Failed to create registry Key: '" + WidePath() + L"\\Child");
}

TEST_F(RegistryTest, ValuesAreDeleted) {
    SetText(HKEY_CURRENT_USER, Path(), "gone", "x");
    reg.ValueKey(L"gone");
    EXPECT_TRUE(reg.DeleteValue());
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, Path(), "gone").found);

    Error missingValue = Raised([&] { reg.DeleteValue(); });
    EXPECT_EQ(missingValue.Number(), kErrRegistry);
    EXPECT_EQ(missingValue.Source(), kSource);
    EXPECT_EQ(missingValue.Description(),
              L"Failed to delete registry Key: '-2147483647',Section: '" + WidePath() + L"',Key: 'gone");

    reg.SectionKey(WidePath() + L"\\NoSuchKey");
    Error missingKey = Raised([&] { reg.DeleteValue(); });
    EXPECT_EQ(missingKey.Number(), kErrRegistry);
    EXPECT_EQ(missingKey.Description(), L"Failed to open key '-2147483647',Section: '" + WidePath() +
                                            L"\\NoSuchKey' for delete access");
}

TEST_F(RegistryTest, EnumeratesValueNames) {
    SetText(HKEY_CURRENT_USER, Path(), "Alpha", "1");
    SetText(HKEY_CURRENT_USER, Path(), "a much longer value name", "2");
    SetRaw(HKEY_CURRENT_USER, Path(), "c", REG_DWORD, "\0\0\0\0"s);
    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(count, 3);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"a much longer value name", L"c"}));

    reg.SectionKey(WidePath() + L"\\NoSuchKey");
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(RegistryTest, EnumeratesSubkeysUpToTheNameBuffer) {
    const std::string name254 = "b" + std::string(253, 'x');
    const std::string name255 = "c" + std::string(254, 'y');
    CreateKey(HKEY_CURRENT_USER, Path() + "\\a");
    CreateKey(HKEY_CURRENT_USER, Path() + "\\" + name254);
    CreateKey(HKEY_CURRENT_USER, Path() + "\\" + name255);
    CreateKey(HKEY_CURRENT_USER, Path() + "\\d");
    SetText(HKEY_CURRENT_USER, Path(), "notAKey", "x");

    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    // The 255-character name does not fit with its NUL: the listing stops there.
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", std::wstring(name254.begin(), name254.end())}));

    DeleteTree(HKEY_CURRENT_USER, Path() + "\\" + name255);
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names.back(), L"d");

    reg.SectionKey(WidePath() + L"\\NoSuchKey");
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

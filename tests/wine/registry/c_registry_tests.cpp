// cRegistry against the real registry, on a key under HKEY_CURRENT_USER that each test makes
// fresh and removes again.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "test_keys.h"

using namespace mend;
using namespace registry;
using namespace regtest;
using namespace std::string_literals;

namespace {

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() {
        DeleteTree(HKEY_CURRENT_USER, path);
        CreateKey(HKEY_CURRENT_USER, path);
        reg.ClassKey(kHkeyCurrentUser);
        reg.SectionKey(section);
    }
    ~RegistryTest() override { DeleteTree(HKEY_CURRENT_USER, "Software\\MendpackTest"); }

    void Set(const std::string &name, DWORD type, const std::string &data) {
        SetRaw(HKEY_CURRENT_USER, path, name, type, data);
    }
    RawValue Stored(const std::string &name) { return GetRaw(HKEY_CURRENT_USER, path, name); }
    RegistryValue Read(const std::wstring &name) {
        reg.ValueKey(name);
        return reg.Value();
    }
    void Write(const std::wstring &name, std::int32_t type, const RegistryValue &value) {
        reg.ValueKey(name);
        reg.ValueType(type);
        reg.Value(value);
    }

    const std::string path =
        "Software\\MendpackTest\\"s + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring section{path.begin(), path.end()};
    cRegistry reg;
};

// Runs `action`, which must raise `number` with `description` from this program's cRegistry.
template <typename F> void ExpectRaises(F action, long number, const std::wstring &description) {
    try {
        action();
        ADD_FAILURE() << "nothing was raised";
    } catch (const Error &e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Source(), L"registry_wine_tests.cRegistry");
        EXPECT_EQ(e.Description(), description);
    }
}

} // namespace

TEST_F(RegistryTest, ReadsEveryStoredTypeAndTakesItsType) {
    SetEnvironmentVariableA("MENDTEST_FOLDER", "C:\\Games\\GF3D");
    struct Case {
        const char *name;
        DWORD type;
        std::string data;
        RegistryValue value;
    };
    const Case cases[] = {
        {"sz", REG_SZ, "Hello\0"s, L"Hello"s},
        {"multi", REG_MULTI_SZ, "a\0b\0\0"s, L"a\0b\0"s}, // a, NUL, b, NUL
        {"expand", REG_EXPAND_SZ, "%MENDTEST_FOLDER%\\Data\0"s, L"C:\\Games\\GF3D\\Data"s},
        {"unknown", REG_EXPAND_SZ, "%MENDTEST_NOT_SET%\0"s, L"%MENDTEST_NOT_SET%"s},
        {"dword", REG_DWORD, "\x78\x56\x34\x12"s, std::int32_t{0x12345678}},
        {"big", REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04"s,
         std::int32_t{0x01020304}},                                     // first byte most significant
        {"binary", REG_BINARY, "\x01\x02\x03"s, ByteArray{1, 2, 3, 0}}, // indexes 0 to 3, the last 0
        {"none", REG_NONE, "\x09"s, ByteArray{9, 0}},
        {"qword", REG_QWORD, "\x01\0\0\0\0\0\0\x80"s, ByteArray{1, 0, 0, 0, 0, 0, 0, 0x80, 0}},
        {"", REG_SZ, "default\0"s, L"default"s}, // the key's default value
        {"empty", REG_SZ, ""s, L""s},            // stored with no bytes at all
    };
    for (const Case &c : cases)
        Set(c.name, c.type, c.data);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        reg.ValueType(kRegNone);
        EXPECT_EQ(Read(std::wstring(c.name, c.name + strlen(c.name))), c.value);
        EXPECT_EQ(reg.ValueType(), static_cast<std::int32_t>(c.type));
    }
}

TEST_F(RegistryTest, MissingValueOrKeyGivesDefaultAndKeepsValueType) {
    Set("there", REG_SZ, "x\0"s);
    reg.ValueType(kRegDwordBigEndian);
    EXPECT_EQ(Read(L"missing"), RegistryValue()) << "a new object's Default is empty";
    reg.Default(std::int32_t{-7});
    EXPECT_EQ(Read(L"missing"), RegistryValue(std::int32_t{-7}));
    reg.SectionKey(section + L"\\NoSuchKey");
    EXPECT_EQ(Read(L"there"), RegistryValue(std::int32_t{-7}));
    reg.ClassKey(0); // no root at all: the open fails and no handle is used
    reg.SectionKey(section);
    EXPECT_EQ(Read(L"there"), RegistryValue(std::int32_t{-7}));
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);
}

TEST_F(RegistryTest, WritesEachValueAsItsTypeAndTheTextRuleSay) {
    struct Case {
        const char *name;
        std::int32_t valueType;
        RegistryValue value;
        DWORD storedType;
        std::string stored;
    };
    const Case cases[] = {
        {"expand", kRegSz, L"%TEMP%\\x"s, REG_EXPAND_SZ, "%TEMP%\\x\0"s},
        {"plain", kRegExpandSz, L"100%"s, REG_SZ, "100%\0"s},
        {"number", kRegSz, std::int32_t{42}, REG_SZ, "42\0"s},
        {"multi", kRegSz, L"a\0b\0"s, REG_SZ, "a\0b\0\0"s},
        // Every byte of the array, not two fewer: a write must not cut the caller's data.
        {"bytes", kRegBinary, ByteArray{0xDE, 0xAD, 0xBE, 0xEF}, REG_BINARY, "\xDE\xAD\xBE\xEF"s},
        {"long", kRegDword, std::int32_t{0x01020304}, REG_DWORD, "\x04\x03\x02\x01"s},
        {"short", kRegDword, std::int16_t{-1}, REG_DWORD, "\xFF\xFF\xFF\xFF"s},
        {"asBig", kRegDwordBigEndian, std::int32_t{0x01020304}, REG_DWORD, "\x04\x03\x02\x01"s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Write(std::wstring(c.name, c.name + strlen(c.name)), c.valueType, c.value);
        RawValue stored = Stored(c.name);
        EXPECT_EQ(stored.type, c.storedType);
        EXPECT_EQ(stored.data, c.stored);
    }
    Write(L"textAsDword", kRegDword, L"12"s); // not an integer: quietly nothing
    EXPECT_FALSE(Stored("textAsDword").found);
    reg.SectionKey(section + L"\\New\\Deeper");
    Write(L"v", kRegSz, L"made"s);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, path + "\\New\\Deeper", "v").data, "made\0"s)
        << "the key path is made";
}

TEST_F(RegistryTest, KeysAndValuesAreTestedCreatedAndDeleted) {
    Set("gone", REG_SZ, "x\0"s);
    reg.ValueKey(L"gone");
    EXPECT_TRUE(reg.DeleteValue());
    EXPECT_FALSE(Stored("gone").found);
    reg.SectionKey(section + L"\\Child");
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey());
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_TRUE(reg.CreateKey()) << "an existing key just opens";
    EXPECT_TRUE(reg.DeleteKey());
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, path + "\\Child"));
}

TEST_F(RegistryTest, FailuresRaiseTheirNumbersAndMessages) {
    const std::wstring root = L"'-2147483647',Section: '", child = section + L"\\Child";
    Write(L"v", kRegSz, L"first"s); // the last written value, which the messages of writes show
    ExpectRaises([&] { Write(L"v", kRegMultiSz, L"second"s); }, kErrSetValue,
                 L"Failed to set registry value Key: " + root + section + L"',Key: 'v' to value: 'first'");
    ExpectRaises([&] { Write(L"notBytes", kRegBinary, L"text"s); }, kErrRegistry,
                 L"Application-defined or object-defined error");
    EXPECT_EQ(Stored("v").data, "first\0"s);
    EXPECT_FALSE(Stored("notBytes").found);

    reg.ValueKey(L"gone");
    ExpectRaises([&] { reg.DeleteValue(); }, kErrRegistry,
                 L"Failed to delete registry Key: " + root + section + L"',Key: 'gone");
    reg.SectionKey(child);
    ExpectRaises([&] { reg.DeleteValue(); }, kErrRegistry,
                 L"Failed to open key " + root + child + L"' for delete access");
    ExpectRaises([&] { reg.DeleteKey(); }, kErrRegistry, L"Failed to delete registry Key: " + root + child);

    reg.ClassKey(0);
    ExpectRaises([&] { reg.CreateKey(); }, kErrRegistry, L"Failed to create registry Key: '" + child);
    reg.SectionKey(section);
    ExpectRaises([&] { Write(L"v", kRegSz, L"third"s); }, kErrRegistry,
                 L"Failed to set registry value Key: '0',Section: '" + section +
                     L"',Key: 'v' to value: 'first'");
}

TEST_F(RegistryTest, EnumeratesValueNamesAndSubkeysUpToTheNameBuffer) {
    Set("Alpha", REG_SZ, "1\0"s);
    Set("a much longer value name", REG_SZ, "2\0"s);
    Set("c", REG_DWORD, "\0\0\0\0"s);
    const std::string name254 = "b" + std::string(253, 'x'), name255 = "c" + std::string(254, 'y');
    for (const std::string &key : {"a"s, name254, name255, "d"s})
        CreateKey(HKEY_CURRENT_USER, path + "\\" + key);

    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    EXPECT_TRUE(reg.EnumerateValues(names, count));
    EXPECT_EQ(count, 3);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"a much longer value name", L"c"}));
    // A 255-character name does not fit with its NUL: the listing stops there.
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", std::wstring(name254.begin(), name254.end())}));
    DeleteTree(HKEY_CURRENT_USER, path + "\\" + name255);
    EXPECT_TRUE(reg.EnumerateSections(names, count));
    EXPECT_EQ(count, 3);

    reg.SectionKey(section + L"\\NoSuchKey");
    for (auto enumerate : {&cRegistry::EnumerateValues, &cRegistry::EnumerateSections}) {
        EXPECT_TRUE((reg.*enumerate)(names, count));
        EXPECT_EQ(count, 0);
        EXPECT_TRUE(names.empty());
    }
}

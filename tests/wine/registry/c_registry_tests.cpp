// cRegistry against the real registry: values and subkeys under a key of HKEY_CURRENT_USER that each
// test makes fresh.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include "common/text.h"
#include "registry/c_registry.h"
#include "win32/handle.h"

using namespace registry;
using namespace std::string_literals;

namespace {

const std::string kPath = "Software\\MendpackTest\\Test";
const std::wstring kSection = mend::WideFromUtf8(kPath);

// A value's type and bytes through the plain API, independent of the class under test; REG_NONE
// and no bytes when it is not there.
std::pair<DWORD, std::string> Stored(const std::string &name) {
    std::string data(4096, '\0');
    DWORD type = REG_NONE, size = 4096;
    win32::RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                         &size) != ERROR_SUCCESS)
        return {REG_NONE, ""};
    return {type, data.substr(0, size)};
}

// An object on the test key, which is not there: a write makes it and the key above it.
cRegistry Fresh() {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MendpackTest");
    cRegistry reg;
    reg.ClassKey(kHkeyCurrentUser);
    reg.SectionKey(kSection);
    return reg;
}

} // namespace

// Each row is written through the class with its ValueType, or stored as it is (kRaw), and then
// read back through the class, which takes the stored type.
TEST(Registry, ValuesAreStoredAsTheirTypeAndTheTextRuleSayAndReadBackByTheStoredType) {
    constexpr std::int32_t kRaw = -1;
    const struct {
        const char *name;
        std::int32_t valueType;
        RegistryValue written;
        DWORD type;
        std::string stored;
        RegistryValue read;
    } cases[] = {
        {"sz", kRegSz, L"Hello"s, REG_SZ, "Hello\0"s, L"Hello"s},
        {"noNul", kRaw, {}, REG_SZ, "abc"s, L"abc"s}, // stored without its NUL: loses nothing
        {"empty", kRaw, {}, REG_SZ, ""s, L""s},
        {"multi", kRegSz, L"a\0b\0"s, REG_SZ, "a\0b\0\0"s, L"a\0b\0"s},
        {"multiSz", kRaw, {}, REG_MULTI_SZ, "a\0b\0\0"s, L"a\0b\0"s},
        {"expand", kRegSz, L"%MENDTEST%\\x"s, REG_EXPAND_SZ, "%MENDTEST%\\x\0"s, L"C:\\Games\\x"s},
        {"apart", kRegSz, L"%%x%"s, REG_EXPAND_SZ, "%%x%\0"s, L"%%x%"s}, // a "%", then one not next to it
        {"plain", kRegExpandSz, L"100%"s, REG_SZ, "100%\0"s, L"100%"s},
        {"pair", kRegExpandSz, L"x%%y"s, REG_SZ, "x%%y\0"s, L"x%%y"s},
        {"number", kRegSz, std::int32_t{42}, REG_SZ, "42\0"s, L"42"s},
        // Every byte of the array, not two fewer: a write must not cut the caller's data. It reads
        // back with one 0 more.
        {"bytes", kRegBinary, ByteArray{0xDE, 0xAD, 0xBE}, REG_BINARY, "\xDE\xAD\xBE"s,
         ByteArray{0xDE, 0xAD, 0xBE, 0}},
        {"noBytes", kRaw, {}, REG_BINARY, ""s, ByteArray{0}},
        {"qword", kRaw, {}, REG_QWORD, "\x01\0\0\0\0\0\0\x80"s, ByteArray{1, 0, 0, 0, 0, 0, 0, 0x80, 0}},
        {"short", kRegDword, std::int16_t{-1}, REG_DWORD, "\xFF\xFF\xFF\xFF"s, std::int32_t{-1}},
        {"asBig", kRegDwordBigEndian, std::int32_t{0x01020304}, REG_DWORD, "\x04\x03\x02\x01"s, 0x01020304},
        {"twoBytes", kRaw, {}, REG_DWORD, "\x01\x02"s, std::int32_t{0x0201}}, // missing bytes count as 0
        {"big", kRaw, {}, REG_DWORD_BIG_ENDIAN, "\x81\x02\x03\x04"s, static_cast<std::int32_t>(0x81020304u)},
        // Not an integer: quietly nothing.
        {"textAsDword", kRegDword, L"12"s, REG_NONE, ""s, std::int32_t{-7}},
    };
    cRegistry reg = Fresh();
    SetEnvironmentVariableA("MENDTEST", "C:\\Games");
    reg.Default(std::int32_t{-7});
    for (const auto &c : cases) {
        reg.ValueKey(mend::WideFromUtf8(c.name));
        if (c.valueType == kRaw) {
            // Stored as they are: the registry would count in a NUL that followed a text.
            const std::string raw = c.stored + 'X';
            SHSetValueA(HKEY_CURRENT_USER, kPath.c_str(), c.name, c.type, raw.data(),
                        static_cast<DWORD>(c.stored.size()));
        } else {
            reg.ValueType(c.valueType);
            reg.Value(c.written);
            EXPECT_EQ(Stored(c.name), std::pair(c.type, c.stored)) << c.name;
        }
        reg.ValueType(kRegNone);
        EXPECT_EQ(reg.Value(), c.read) << c.name;
        EXPECT_EQ(reg.ValueType(), static_cast<std::int32_t>(c.type)) << c.name;
    }
    // A missing value or key, or no root at all, gives Default and keeps ValueType.
    reg.ValueType(kRegDwordBigEndian);
    for (auto [root, key, name] : {std::tuple{kHkeyCurrentUser, kSection, L"missing"},
                                   {kHkeyCurrentUser, kSection + L"\\No", L"sz"},
                                   {0, kSection, L"sz"}}) {
        reg.ClassKey(root);
        reg.SectionKey(key);
        reg.ValueKey(name);
        EXPECT_EQ(reg.Value(), RegistryValue(std::int32_t{-7})) << root << " " << name;
    }
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);
}

// Subkey names of up to 254 characters come whole; a 255-character one does not fit the name
// buffer with its NUL, and the listing stops there. A key that is not there lists nothing. (Wide
// calls make the keys: the narrow ones cut paths longer than MAX_PATH under Wine.)
TEST(Registry, EnumeratesSubkeysUpToTheNameBuffer) {
    cRegistry reg = Fresh();
    const std::wstring name254 = L"b" + std::wstring(253, L'x'), name255 = L"c" + std::wstring(254, L'y');
    for (const std::wstring &key : {L"a"s, name254, name255, L"d"s})
        SHSetValueW(HKEY_CURRENT_USER, (kSection + L"\\" + key).c_str(), nullptr, REG_SZ, L"", 2);
    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    reg.EnumerateSections(names, count);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", name254}));
    EXPECT_EQ(count, 2);
    SHDeleteKeyW(HKEY_CURRENT_USER, (kSection + L"\\" + name255).c_str());
    reg.EnumerateSections(names, count);
    EXPECT_EQ(count, 3);
    reg.SectionKey(kSection + L"\\NoSuchKey");
    reg.EnumerateSections(names, count);
    EXPECT_TRUE(count == 0 && names.empty());
}

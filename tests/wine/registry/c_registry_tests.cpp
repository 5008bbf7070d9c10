// cRegistry against the real registry: values and keys under a key of HKEY_CURRENT_USER that each
// test makes fresh, and file-type associations under the classes root.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include <algorithm>

#include "common/error.h"
#include "common/text.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "win32/handle.h"

using namespace registry;
using namespace std::string_literals;

namespace {

const std::string kPath = "Software\\MendpackTest\\Test";
const std::wstring kSection = mend::WideFromUtf8(kPath);

// A value's type and bytes through the plain API, independent of the class under test; REG_NONE
// and no bytes when it is not there.
std::pair<DWORD, std::string> Get(HKEY root, const std::string &path, const std::string &name) {
    std::string data(4096, '\0');
    DWORD type = REG_NONE, size = 4096;
    win32::RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                         &size) != ERROR_SUCCESS)
        return {REG_NONE, ""};
    return {type, data.substr(0, size)};
}

// The text of a key's default value below the classes, "-" when the key is not there. (Wine's
// classes root is the machine's classes key, so the two roots cannot be told apart here.)
std::string ClassText(const std::string &key) {
    const auto text = Get(HKEY_CLASSES_ROOT, key, "");
    return text.first == REG_SZ ? text.second.substr(0, text.second.size() - 1) : "-";
}

// An object on the test key, which is not there: a write makes it and the key above it.
cRegistry Fresh() {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MendpackTest");
    cRegistry reg;
    reg.ClassKey(kHkeyCurrentUser);
    reg.SectionKey(kSection);
    return reg;
}

void Write(cRegistry &reg, const std::wstring &name, std::int32_t type, const RegistryValue &value) {
    reg.ValueKey(name);
    reg.ValueType(type);
    reg.Value(value);
}

// Runs `action`, which must raise `number` with `description`.
template <typename F> void ExpectRaises(F action, long number, const std::wstring &description) {
    try {
        action();
        ADD_FAILURE() << "nothing was raised";
    } catch (const mend::Error &e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Description(), description);
    }
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
        {"textAsDword", kRegDword, L"12"s, REG_NONE, ""s,
         std::int32_t{-7}}, // not an integer: quietly nothing
    };
    cRegistry reg = Fresh();
    SetEnvironmentVariableA("MENDTEST", "C:\\Games");
    reg.Default(std::int32_t{-7});
    for (const auto &c : cases) {
        // Stored as they are: the registry would count in a NUL that followed a text.
        const std::string raw = c.stored + 'X';
        if (c.valueType == kRaw) {
            SHSetValueA(HKEY_CURRENT_USER, kPath.c_str(), c.name, c.type, raw.data(),
                        static_cast<DWORD>(c.stored.size()));
        } else {
            Write(reg, mend::WideFromUtf8(c.name), c.valueType, c.written);
            EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath, c.name), std::pair(c.type, c.stored)) << c.name;
        }
        reg.ValueKey(mend::WideFromUtf8(c.name));
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

TEST(Registry, KeysAndValuesAreMadeAndRemovedOrRaiseTheirNumbersAndMessages) {
    cRegistry reg = Fresh();
    const std::wstring root = L"'-2147483647',Section: '", child = kSection + L"\\Child";
    Write(reg, L"v", kRegSz, L"first"s); // the last written value, which the messages of writes show
    ExpectRaises([&] { Write(reg, L"v", kRegMultiSz, L"second"s); }, kErrSetValue,
                 L"Failed to set registry value Key: " + root + kSection + L"',Key: 'v' to value: 'first'");
    ExpectRaises([&] { Write(reg, L"notBytes", kRegBinary, L"text"s); }, kErrRegistry,
                 L"Application-defined or object-defined error");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath, "v").second, "first\0"s);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath, "notBytes").first, REG_NONE);
    reg.ValueKey(L"v");
    reg.DeleteValue();
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath, "v").first, REG_NONE);
    ExpectRaises([&] { reg.DeleteValue(); }, kErrRegistry,
                 L"Failed to delete registry Key: " + root + kSection + L"',Key: 'v");

    reg.SectionKey(child);
    EXPECT_FALSE(reg.KeyExists());
    ExpectRaises([&] { reg.DeleteValue(); }, kErrRegistry,
                 L"Failed to open key " + root + child + L"' for delete access");
    ExpectRaises([&] { reg.DeleteKey(); }, kErrRegistry, L"Failed to delete registry Key: " + root + child);
    reg.CreateKey();
    reg.CreateKey(); // an existing key just opens
    EXPECT_TRUE(reg.KeyExists());
    reg.DeleteKey();
    EXPECT_FALSE(reg.KeyExists());

    reg.ClassKey(0);
    ExpectRaises([&] { reg.CreateKey(); }, kErrRegistry, L"Failed to create registry Key: '" + child);
    reg.SectionKey(kSection);
    ExpectRaises([&] { Write(reg, L"v", kRegSz, L"third"s); }, kErrRegistry,
                 L"Failed to set registry value Key: '0',Section: '" + kSection +
                     L"',Key: 'v' to value: 'first'");
}

// A 255-character subkey name does not fit with its NUL: the listing stops there. (Wide calls
// make the keys: the narrow ones cut paths longer than MAX_PATH under Wine.)
TEST(Registry, EnumeratesValueNamesAndSubkeysUpToTheNameBuffer) {
    cRegistry reg = Fresh();
    const std::wstring name254 = L"b" + std::wstring(253, L'x'), name255 = L"c" + std::wstring(254, L'y');
    for (const std::wstring &key : {L"a"s, name254, name255, L"d"s})
        SHSetValueW(HKEY_CURRENT_USER, (kSection + L"\\" + key).c_str(), nullptr, REG_SZ, L"", 2);
    for (const wchar_t *name : {L"Alpha", L"a much longer value name", L"c"})
        SHSetValueW(HKEY_CURRENT_USER, kSection.c_str(), name, REG_SZ, L"", 2);
    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    reg.EnumerateValues(names, count);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"a much longer value name", L"c"}));
    EXPECT_EQ(count, 3);
    reg.EnumerateSections(names, count);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", name254}));
    EXPECT_EQ(count, 2);
    SHDeleteKeyW(HKEY_CURRENT_USER, (kSection + L"\\" + name255).c_str());
    reg.EnumerateSections(names, count);
    EXPECT_EQ(count, 3);
    reg.SectionKey(kSection + L"\\NoSuchKey");
    for (auto enumerate : {&cRegistry::EnumerateValues, &cRegistry::EnumerateSections}) {
        (reg.*enumerate)(names, count);
        EXPECT_TRUE(count == 0 && names.empty());
    }
}

TEST(Registry, AssociationsWriteTheirClassVerbsAndIcon) {
    for (const wchar_t *key : {L"MendpackTest.Document", L"MendpackTest.Plain"})
        SHDeleteKeyW(HKEY_CLASSES_ROOT, key);
    cRegistry reg;
    const std::wstring doc = L"MendpackTest.Document";
    auto add = [&](const std::vector<RegistryValue> &items) {
        reg.CreateAdditionalEXEAssociations(doc, items);
    };
    // The list is checked before the class.
    const std::wstring badList = L"Invalid parameter list passed to CreateAdditionalEXEAssociations - "
                                 L"expected Name/Text/Command",
                       noClass = L"Error - attempt to create additional associations before class defined.";
    reg.ClassKey(kHkeyClassesRoot);
    ExpectRaises([&] { add({L"edit"s, L"&Edit"s}); }, kErrAssociationItems, badList);
    for (const std::vector<RegistryValue> &items : {std::vector<RegistryValue>{}, {L"a"s, L"b"s, L"c"s}})
        ExpectRaises([&] { add(items); }, kErrAssociationClassMissing, noClass);
    EXPECT_EQ(ClassText("MendpackTest.Document"), "-");

    reg.CreateEXEAssociation(L"  C:\\Games\\GF3D\\tool.exe ", doc, L"Mendpack test document", L"mendtestdoc",
                             L"", true, L"", true, L"", true, L"", 2);
    // The last text went to the machine's classes, whose root stays.
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    EXPECT_EQ(reg.SectionKey(), doc + L"\\DefaultIcon");
    // More verbs go to a class of the current root, as triples of name, menu text and command.
    reg.ClassKey(kHkeyClassesRoot);
    add({L"edit"s, L"&Edit"s, L"C:\\tool.exe /e \"%1\""s, L"play"s, L"&Play"s, L"C:\\player.exe %1"s});
    reg.CreateEXEAssociation(L"\"C:\\Program Files\\Tool\\tool.exe\"", L"MendpackTest.Plain", L"Plain",
                             L"mendtestplain", L"&View", false, L"&Print it", false, L"", false, L"", -1);
    const std::string shell = "MendpackTest.Document\\shell\\", plain = "MendpackTest.Plain\\";
    const std::string tool = "\"C:\\Games\\GF3D\\tool.exe\"";
    const std::pair<std::string, std::string> texts[] = {
        {".mendtestdoc", "MendpackTest.Document"},
        {"MendpackTest.Document", "Mendpack test document"},
        {shell + "open", "&Open"},
        {shell + "open\\command", tool + " \"%1\""},
        {shell + "print", "&Print"},
        {shell + "print\\command", tool + " /p \"%1\""},
        {shell + "add", "&Install mendtestdoc"},
        {shell + "add\\command", tool + " /a \"%1\""},
        {shell + "new", "&New"},
        {shell + "new\\command", tool + " /n \"%1\""},
        {"MendpackTest.Document\\DefaultIcon", tool + ",2"},
        {shell + "edit\\command", "C:\\tool.exe /e \"%1\""},
        {shell + "play", "&Play"},
        {shell + "play\\command", "C:\\player.exe %1"},
        {plain + "shell\\open", "&View"},
        {plain + "shell\\open\\command", "\"C:\\Program Files\\Tool\\tool.exe\" \"%1\""},
    };
    for (const auto &[key, text] : texts)
        EXPECT_EQ(ClassText(key), text);
    for (const char *absent : {"shell\\print", "shell\\add", "shell\\new", "DefaultIcon"})
        EXPECT_EQ(ClassText(plain + absent), "-") << absent;
}

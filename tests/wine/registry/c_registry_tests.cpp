// cRegistry against the real registry: values and keys under a key of HKEY_CURRENT_USER that each
// test makes fresh and removes again, and file-type associations under both class roots.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <optional>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "win32/handle.h"

using namespace registry;
using namespace std::string_literals;

namespace {

// Values are set and read back through the plain API, independent of the class under test.
std::wstring W(const std::string &text) {
    return std::wstring(text.begin(), text.end());
}

struct Stored {
    bool found = false;
    DWORD type = 0;
    std::string data;
};
Stored Get(HKEY root, const std::string &path, const std::string &name) {
    Stored value{false, 0, std::string(4096, '\0')};
    DWORD size = 4096;
    win32::RegKey key;
    value.found = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS &&
                  RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type,
                                   reinterpret_cast<BYTE *>(value.data.data()), &size) == ERROR_SUCCESS;
    value.data.resize(value.found ? size : 0);
    return value;
}

class RegistryTest : public ::testing::Test {
  protected:
    RegistryTest() {
        Clean();
        reg.ClassKey(kHkeyCurrentUser);
        reg.SectionKey(section);
    }
    ~RegistryTest() override { Clean(); }
    static void Clean() {
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MendpackTest");
        for (const wchar_t *key : {L"MendpackTest.Document", L".mendtestdoc"}) {
            SHDeleteKeyW(HKEY_CLASSES_ROOT, key);
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Classes\\"s + key).c_str());
        }
    }
    void Set(const std::string &name, DWORD type, const std::string &data) {
        ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), type, data.data(),
                              static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    void Write(const std::wstring &name, std::int32_t type, const RegistryValue &value) {
        reg.ValueKey(name);
        reg.ValueType(type);
        reg.Value(value);
    }
    // The default value of a key below the association's class, which must be the same text in
    // both roots; nullopt when the key is in neither.
    static std::optional<std::string> ClassText(const std::string &key) {
        Stored classes = Get(HKEY_CLASSES_ROOT, key, ""),
               machine = Get(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key, "");
        if (!classes.found && !machine.found)
            return std::nullopt;
        EXPECT_TRUE(classes.type == REG_SZ && machine.data == classes.data) << key;
        return classes.data.substr(0, classes.data.find('\0'));
    }

    const std::string path = "Software\\MendpackTest\\Test";
    const std::wstring section = W(path);
    cRegistry reg;
};

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

TEST_F(RegistryTest, ReadsEveryStoredTypeAndTakesItsType) {
    SetEnvironmentVariableA("MENDTEST_FOLDER", "C:\\Games\\GF3D");
    const struct {
        const char *name;
        DWORD type;
        std::string data;
        RegistryValue value;
    } cases[] = {
        {"sz", REG_SZ, "Hello\0"s, L"Hello"s},
        {"noNul", REG_SZ, "abc"s, L"abc"s},               // stored without its NUL: loses nothing
        {"empty", REG_SZ, ""s, L""s},                     // stored with no bytes at all
        {"multi", REG_MULTI_SZ, "a\0b\0\0"s, L"a\0b\0"s}, // a, NUL, b, NUL
        {"expand", REG_EXPAND_SZ, "%MENDTEST_FOLDER%\\Data\0"s, L"C:\\Games\\GF3D\\Data"s},
        {"short", REG_DWORD, "\x01\x02"s, std::int32_t{0x0201}}, // missing bytes count as 0
        {"big", REG_DWORD_BIG_ENDIAN, "\x81\x02\x03\x04"s, static_cast<std::int32_t>(0x81020304u)},
        {"binary", REG_BINARY, "\x01\x02\x03"s, ByteArray{1, 2, 3, 0}}, // indexes 0 to 3, the last 0
        {"noBytes", REG_BINARY, ""s, ByteArray{0}},
        {"qword", REG_QWORD, "\x01\0\0\0\0\0\0\x80"s, ByteArray{1, 0, 0, 0, 0, 0, 0, 0x80, 0}},
    };
    for (const auto &c : cases) {
        Set(c.name, c.type, c.data);
        reg.ValueType(kRegNone);
        reg.ValueKey(W(c.name));
        EXPECT_EQ(reg.Value(), c.value) << c.name;
        EXPECT_EQ(reg.ValueType(), static_cast<std::int32_t>(c.type)) << c.name;
    }
    // A missing value or key, or no root at all, gives Default and keeps ValueType.
    reg.ValueType(kRegDwordBigEndian);
    reg.Default(std::int32_t{-7});
    reg.ValueKey(L"missing");
    EXPECT_EQ(reg.Value(), RegistryValue(std::int32_t{-7}));
    reg.ValueKey(L"sz");
    for (auto [root, key] : {std::pair{kHkeyCurrentUser, section + L"\\NoSuchKey"}, {0, section}}) {
        reg.ClassKey(root);
        reg.SectionKey(key);
        EXPECT_EQ(reg.Value(), RegistryValue(std::int32_t{-7}));
    }
    EXPECT_EQ(reg.ValueType(), kRegDwordBigEndian);
}

TEST_F(RegistryTest, WritesEachValueAsItsTypeAndTheTextRuleSay) {
    const struct {
        const char *name;
        std::int32_t valueType;
        RegistryValue value;
        DWORD storedType;
        std::string stored;
    } cases[] = {
        {"expand", kRegSz, L"%TEMP%\\x"s, REG_EXPAND_SZ, "%TEMP%\\x\0"s},
        {"plain", kRegExpandSz, L"100%"s, REG_SZ, "100%\0"s},
        {"number", kRegSz, std::int32_t{42}, REG_SZ, "42\0"s},
        {"multi", kRegSz, L"a\0b\0"s, REG_SZ, "a\0b\0\0"s},
        // Every byte of the array, not two fewer: a write must not cut the caller's data.
        {"bytes", kRegBinary, ByteArray{0xDE, 0xAD, 0xBE, 0xEF}, REG_BINARY, "\xDE\xAD\xBE\xEF"s},
        {"short", kRegDword, std::int16_t{-1}, REG_DWORD, "\xFF\xFF\xFF\xFF"s},
        {"asBig", kRegDwordBigEndian, std::int32_t{0x01020304}, REG_DWORD, "\x04\x03\x02\x01"s},
        {"textAsDword", kRegDword, L"12"s, REG_NONE, ""s}, // not an integer: quietly nothing
    };
    for (const auto &c : cases) {
        Write(W(c.name), c.valueType, c.value);
        Stored stored = Get(HKEY_CURRENT_USER, path, c.name);
        EXPECT_EQ(stored.found, c.storedType != REG_NONE) << c.name;
        EXPECT_EQ(stored.type, c.storedType) << c.name;
        EXPECT_EQ(stored.data, c.stored) << c.name;
    }
    reg.SectionKey(section + L"\\New\\Deeper");
    Write(L"v", kRegSz, L"made"s);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, path + "\\New\\Deeper", "v").data, "made\0"s) << "the key path is made";
}

TEST_F(RegistryTest, KeysAndValuesAreMadeAndRemovedOrRaiseTheirNumbersAndMessages) {
    const std::wstring root = L"'-2147483647',Section: '", child = section + L"\\Child";
    Write(L"v", kRegSz, L"first"s); // the last written value, which the messages of writes show
    ExpectRaises([&] { Write(L"v", kRegMultiSz, L"second"s); }, kErrSetValue,
                 L"Failed to set registry value Key: " + root + section + L"',Key: 'v' to value: 'first'");
    ExpectRaises([&] { Write(L"notBytes", kRegBinary, L"text"s); }, kErrRegistry,
                 L"Application-defined or object-defined error");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, path, "v").data, "first\0"s);
    EXPECT_FALSE(Get(HKEY_CURRENT_USER, path, "notBytes").found);
    reg.ValueKey(L"v");
    reg.DeleteValue();
    EXPECT_FALSE(Get(HKEY_CURRENT_USER, path, "v").found);
    ExpectRaises([&] { reg.DeleteValue(); }, kErrRegistry,
                 L"Failed to delete registry Key: " + root + section + L"',Key: 'v");

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
    reg.SectionKey(section);
    ExpectRaises([&] { Write(L"v", kRegSz, L"third"s); }, kErrRegistry,
                 L"Failed to set registry value Key: '0',Section: '" + section +
                     L"',Key: 'v' to value: 'first'");
}

TEST_F(RegistryTest, EnumeratesValueNamesAndSubkeysUpToTheNameBuffer) {
    for (const char *name : {"Alpha", "a much longer value name", "c"})
        Set(name, REG_SZ, "1\0"s);
    // A 255-character name does not fit with its NUL: the listing stops there. (Wide calls: the
    // narrow ones cut paths longer than MAX_PATH under Wine.)
    const std::wstring name254 = L"b" + std::wstring(253, L'x'), name255 = L"c" + std::wstring(254, L'y');
    for (const std::wstring &key : {L"a"s, name254, name255, L"d"s})
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, (section + L"\\" + key).c_str(), nullptr, REG_SZ, L"", 2),
                  0);

    std::vector<std::wstring> names{L"stale"};
    std::int32_t count = -1;
    reg.EnumerateValues(names, count);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"a much longer value name", L"c"}));
    EXPECT_EQ(count, 3);
    reg.EnumerateSections(names, count);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", name254}));
    EXPECT_EQ(count, 2);
    SHDeleteKeyW(HKEY_CURRENT_USER, (section + L"\\" + name255).c_str());
    reg.EnumerateSections(names, count);
    EXPECT_EQ(count, 3);

    reg.SectionKey(section + L"\\NoSuchKey");
    for (auto enumerate : {&cRegistry::EnumerateValues, &cRegistry::EnumerateSections}) {
        (reg.*enumerate)(names, count);
        EXPECT_TRUE(count == 0 && names.empty());
    }
}

TEST_F(RegistryTest, AssociationsWriteEveryVerbAndTheIconInBothRoots) {
    const std::wstring docClass = L"MendpackTest.Document";
    const std::string shell = "MendpackTest.Document\\shell\\", program = "\"C:\\Games\\GF3D\\tool.exe\"";
    reg.CreateEXEAssociation(L"  C:\\Games\\GF3D\\tool.exe ", docClass, L"Mendpack test document",
                             L"mendtestdoc", L"", true, L"", true, L"", true, L"", 2);
    const std::pair<std::string, std::string> all[] = {
        {".mendtestdoc", "MendpackTest.Document"},
        {"MendpackTest.Document", "Mendpack test document"},
        {shell + "open", "&Open"},
        {shell + "open\\command", program + " \"%1\""},
        {shell + "print", "&Print"},
        {shell + "print\\command", program + " /p \"%1\""},
        {shell + "add", "&Install mendtestdoc"},
        {shell + "add\\command", program + " /a \"%1\""},
        {shell + "new", "&New"},
        {shell + "new\\command", program + " /n \"%1\""},
        {"MendpackTest.Document\\DefaultIcon", program + ",2"},
    };
    for (const auto &[key, text] : all)
        EXPECT_EQ(ClassText(key), text);
    // The last text went to the machine's classes, whose root stays.
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    EXPECT_EQ(reg.SectionKey(), docClass + L"\\DefaultIcon");

    Clean();
    reg.CreateEXEAssociation(L"\"C:\\Program Files\\Tool\\tool.exe\"", docClass, L"Doc", L"mendtestdoc",
                             L"&View", false, L"&Print it", false, L"", false, L"", -1);
    EXPECT_EQ(ClassText(shell + "open"), "&View");
    EXPECT_EQ(ClassText(shell + "open\\command"), "\"C:\\Program Files\\Tool\\tool.exe\" \"%1\"");
    for (const char *absent : {"print", "add", "new"})
        EXPECT_EQ(ClassText(shell + absent), std::nullopt) << absent;
    EXPECT_EQ(ClassText("MendpackTest.Document\\DefaultIcon"), std::nullopt);

    // More verbs go to a class of the current root, as triples of name, menu text and command.
    reg.ClassKey(kHkeyClassesRoot);
    reg.CreateAdditionalEXEAssociations(docClass, {L"edit"s, L"&Edit"s, L"C:\\tool.exe /e \"%1\""s, L"play"s,
                                                   L"&Play"s, L"C:\\player.exe %1"s});
    EXPECT_EQ(ClassText(shell + "edit\\command"), "C:\\tool.exe /e \"%1\"");
    EXPECT_EQ(ClassText(shell + "play"), "&Play");
    EXPECT_EQ(ClassText(shell + "play\\command"), "C:\\player.exe %1");
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    // The list is checked before the class.
    Clean();
    reg.ClassKey(kHkeyClassesRoot);
    ExpectRaises(
        [&] {
            reg.CreateAdditionalEXEAssociations(docClass, {L"edit"s, L"&Edit"s});
        },
        kErrAssociationItems,
        L"Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    for (const std::vector<RegistryValue> &items : {std::vector<RegistryValue>{}, {L"a"s, L"b"s, L"c"s}})
        ExpectRaises([&] { reg.CreateAdditionalEXEAssociations(docClass, items); },
                     kErrAssociationClassMissing,
                     L"Error - attempt to create additional associations before class defined.");
    EXPECT_EQ(ClassText("MendpackTest.Document"), std::nullopt);
}

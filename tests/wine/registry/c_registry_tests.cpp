// cRegistry against the real registry: values and keys under a key of HKEY_CURRENT_USER that each
// test makes fresh, and file-type associations under both class roots. Then the version check on
// Wine's real system.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <fstream>

#include "common/error.h"
#include "common/text.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/handle.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/win_version.h"

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

// The text of a key's default value below the classes, which must be the same in both roots; "-"
// when the key is in neither.
std::string ClassText(const std::string &key) {
    const auto classes = Get(HKEY_CLASSES_ROOT, key, "");
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key, ""), classes) << key;
    return classes.first == REG_SZ ? classes.second.substr(0, classes.second.size() - 1) : "-";
}

// An object on the test key, made empty; the test's file types are gone from both roots.
cRegistry Fresh() {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MendpackTest");
    for (const wchar_t *key :
         {L"MendpackTest.Document", L".mendtestdoc", L"MendpackTest.Plain", L".mendtestplain"}) {
        SHDeleteKeyW(HKEY_CLASSES_ROOT, key);
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Classes\\"s + key).c_str());
    }
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

TEST(Registry, ReadsEveryStoredTypeAndTakesItsType) {
    cRegistry reg = Fresh();
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
        ASSERT_EQ(SHSetValueA(HKEY_CURRENT_USER, kPath.c_str(), c.name, c.type, c.data.data(),
                              static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS);
        reg.ValueType(kRegNone);
        reg.ValueKey(mend::WideFromUtf8(c.name));
        EXPECT_EQ(reg.Value(), c.value) << c.name;
        EXPECT_EQ(reg.ValueType(), static_cast<std::int32_t>(c.type)) << c.name;
    }
    // A missing value or key, or no root at all, gives Default and keeps ValueType.
    reg.ValueType(kRegDwordBigEndian);
    reg.Default(std::int32_t{-7});
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

TEST(Registry, WritesEachValueAsItsTypeAndTheTextRuleSay) {
    cRegistry reg = Fresh();
    const struct {
        const char *name;
        std::int32_t valueType;
        RegistryValue value;
        DWORD storedType;
        std::string stored;
    } cases[] = {
        {"expand", kRegSz, L"%TEMP%\\x"s, REG_EXPAND_SZ, "%TEMP%\\x\0"s},
        {"apart", kRegSz, L"%%x%"s, REG_EXPAND_SZ, "%%x%\0"s}, // a "%" and a later one, not the next
        {"plain", kRegExpandSz, L"100%"s, REG_SZ, "100%\0"s},
        {"pair", kRegExpandSz, L"x%%y"s, REG_SZ, "x%%y\0"s},
        {"number", kRegSz, std::int32_t{42}, REG_SZ, "42\0"s},
        {"multi", kRegSz, L"a\0b\0"s, REG_SZ, "a\0b\0\0"s},
        // Every byte of the array, not two fewer: a write must not cut the caller's data.
        {"bytes", kRegBinary, ByteArray{0xDE, 0xAD, 0xBE, 0xEF}, REG_BINARY, "\xDE\xAD\xBE\xEF"s},
        {"short", kRegDword, std::int16_t{-1}, REG_DWORD, "\xFF\xFF\xFF\xFF"s},
        {"asBig", kRegDwordBigEndian, std::int32_t{0x01020304}, REG_DWORD, "\x04\x03\x02\x01"s},
        {"textAsDword", kRegDword, L"12"s, REG_NONE, ""s}, // not an integer: quietly nothing
    };
    for (const auto &c : cases) {
        Write(reg, mend::WideFromUtf8(c.name), c.valueType, c.value);
        EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath, c.name), std::pair(c.storedType, c.stored)) << c.name;
    }
    reg.SectionKey(kSection + L"\\New\\Deeper");
    Write(reg, L"v", kRegSz, L"made"s);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kPath + "\\New\\Deeper", "v").second, "made\0"s)
        << "the key path is made";
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

TEST(Registry, EnumeratesValueNamesAndSubkeysUpToTheNameBuffer) {
    cRegistry reg = Fresh();
    // A 255-character name does not fit with its NUL: the listing stops there. (Wide calls: the
    // narrow ones cut paths longer than MAX_PATH under Wine.)
    const std::wstring name254 = L"b" + std::wstring(253, L'x'), name255 = L"c" + std::wstring(254, L'y');
    for (const std::wstring &key : {L"a"s, name254, name255, L"d"s})
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, (kSection + L"\\" + key).c_str(), nullptr, REG_SZ, L"", 2),
                  0);
    for (const wchar_t *name : {L"Alpha", L"a much longer value name", L"c"})
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, kSection.c_str(), name, REG_SZ, L"", 2), 0);

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

TEST(Registry, AssociationsWriteTheirVerbsAndIconInBothRoots) {
    cRegistry reg = Fresh();
    const std::wstring docClass = L"MendpackTest.Document";
    reg.CreateEXEAssociation(L"  C:\\Games\\GF3D\\tool.exe ", docClass, L"Mendpack test document",
                             L"mendtestdoc", L"", true, L"", true, L"", true, L"", 2);
    // The last text went to the machine's classes, whose root stays.
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    EXPECT_EQ(reg.SectionKey(), docClass + L"\\DefaultIcon");
    // More verbs go to a class of the current root, as triples of name, menu text and command.
    reg.ClassKey(kHkeyClassesRoot);
    reg.CreateAdditionalEXEAssociations(docClass, {L"edit"s, L"&Edit"s, L"C:\\tool.exe /e \"%1\""s, L"play"s,
                                                   L"&Play"s, L"C:\\player.exe %1"s});
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    reg.CreateEXEAssociation(L"\"C:\\Program Files\\Tool\\tool.exe\"", L"MendpackTest.Plain", L"Plain",
                             L"mendtestplain", L"&View", false, L"&Print it", false, L"", false, L"", -1);

    const std::string doc = "MendpackTest.Document\\", plain = "MendpackTest.Plain\\";
    const std::string tool = "\"C:\\Games\\GF3D\\tool.exe\"";
    const std::pair<std::string, std::string> texts[] = {
        {".mendtestdoc", "MendpackTest.Document"},
        {"MendpackTest.Document", "Mendpack test document"},
        {doc + "shell\\open", "&Open"},
        {doc + "shell\\open\\command", tool + " \"%1\""},
        {doc + "shell\\print", "&Print"},
        {doc + "shell\\print\\command", tool + " /p \"%1\""},
        {doc + "shell\\add", "&Install mendtestdoc"},
        {doc + "shell\\add\\command", tool + " /a \"%1\""},
        {doc + "shell\\new", "&New"},
        {doc + "shell\\new\\command", tool + " /n \"%1\""},
        {doc + "DefaultIcon", tool + ",2"},
        {doc + "shell\\edit\\command", "C:\\tool.exe /e \"%1\""},
        {doc + "shell\\play", "&Play"},
        {doc + "shell\\play\\command", "C:\\player.exe %1"},
        {".mendtestplain", "MendpackTest.Plain"},
        {plain + "shell\\open", "&View"},
        {plain + "shell\\open\\command", "\"C:\\Program Files\\Tool\\tool.exe\" \"%1\""},
        {plain + "shell\\print", "-"},
        {plain + "shell\\add", "-"},
        {plain + "shell\\new", "-"},
        {plain + "DefaultIcon", "-"},
    };
    for (const auto &[key, text] : texts)
        EXPECT_EQ(ClassText(key), text);

    // The list is checked before the class.
    reg = Fresh();
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
    EXPECT_EQ(ClassText("MendpackTest.Document"), "-");
}

// Wine pretends to be the Windows version that a program's own setting names, read when the
// program starts: this program, started with "probe" under each, writes what the version check
// finds and the PCI device list it then reads.
TEST(Checks, WineVersionSettingsGiveTheirNamesAndPciLists) {
    const wchar_t *settings = L"Software\\Wine\\AppDefaults\\registry_wine_tests.exe";
    const std::pair<const wchar_t *, const char *> cases[] = {
        {L"winxp64", "Windows XP|SYSTEM\\CurrentControlSet\\Enum\\PCI"},
        {L"win2k", "Windows 2000|SYSTEM\\CurrentControlSet\\Enum\\PCI"},
        {L"win98", "Windows 98 SE|Enum\\PCI"},
        {L"win7", "|Enum\\PCI"},
    };
    for (const auto &[setting, found] : cases) {
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, settings, L"Version", REG_SZ, setting,
                              static_cast<DWORD>((wcslen(setting) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        wintest::TempFolder folder(L"winver");
        wintest::ChildProcess probe(wintest::ProgramFolder() + L"\\registry_wine_tests.exe", L"probe",
                                    folder.Path());
        DWORD exitCode = 99;
        EXPECT_TRUE(probe.WaitForExit(60000, &exitCode) && exitCode == 0);
        EXPECT_EQ(wintest::ReadFile(folder / L"probe.txt"), found);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, settings);
}

int main(int argc, char **argv) {
    if (argc == 2 && argv[1] == "probe"s) {
        const std::wstring name = wizard::GetWinVersion();
        std::ofstream("probe.txt", std::ios::binary)
            << mend::Utf8FromWide(name + L"|" + wizard::PciListKey(mend::LowerAscii(name)));
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "test_keys.h"

using namespace mend;
using namespace regtest;
using namespace std::string_literals;

namespace {

const std::string kClass = "MendpackTest.Document";
const std::string kExtension = ".mendtestdoc";
const std::string kMachineClasses = "SOFTWARE\\Classes\\";

// Removes the test's class and extension from both roots, before and after each test.
class AssociationTest : public ::testing::Test {
  protected:
    AssociationTest() { Clean(); }
    ~AssociationTest() override { Clean(); }
    static void Clean() {
        for (const std::string &key : {kClass, kExtension}) {
            DeleteTree(HKEY_CLASSES_ROOT, key);
            DeleteTree(HKEY_LOCAL_MACHINE, kMachineClasses + key);
        }
    }

    // The default value of a key, which must read the same in both roots.
    static std::string DefaultText(const std::string &key) {
        RawValue classes = GetRaw(HKEY_CLASSES_ROOT, key, "");
        RawValue machine = GetRaw(HKEY_LOCAL_MACHINE, kMachineClasses + key, "");
        EXPECT_TRUE(classes.found) << key;
        EXPECT_EQ(classes.type, static_cast<DWORD>(REG_SZ)) << key;
        EXPECT_EQ(machine.data, classes.data) << key;
        return classes.data.empty() ? std::string() : classes.data.substr(0, classes.data.size() - 1);
    }
    static bool Present(const std::string &key) {
        return KeyPresent(HKEY_CLASSES_ROOT, key) || KeyPresent(HKEY_LOCAL_MACHINE, kMachineClasses + key);
    }

    cRegistry reg;
};

std::wstring Wide(const std::string &text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

TEST_F(AssociationTest, RegistersEveryVerbAndTheIconInBothRoots) {
    reg.CreateEXEAssociation(L"  C:\\Games\\GF3D\\tool.exe ", Wide(kClass), L"Mendpack test document",
                             L"mendtestdoc", L"", true, L"", true, L"", true, L"", 2);
    const std::string program = "\"C:\\Games\\GF3D\\tool.exe\"";
    EXPECT_EQ(DefaultText(kExtension), kClass);
    EXPECT_EQ(DefaultText(kClass), "Mendpack test document");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\open"), "&Open");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\open\\command"), program + " \"%1\"");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\print"), "&Print");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\print\\command"), program + " /p \"%1\"");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\add"), "&Install mendtestdoc");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\add\\command"), program + " /a \"%1\"");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\new"), "&New");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\new\\command"), program + " /n \"%1\"");
    EXPECT_EQ(DefaultText(kClass + "\\DefaultIcon"), program + ",2");

    // Each text goes to HKEY_CLASSES_ROOT and then to the machine's classes, whose root stays.
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    EXPECT_EQ(reg.SectionKey(), Wide(kClass + "\\DefaultIcon"));
}

TEST_F(AssociationTest, OpenOnlyWithOwnMenuTextAndNoIcon) {
    reg.CreateEXEAssociation(L"\"C:\\Program Files\\Tool\\tool.exe\"", Wide(kClass), L"Doc", L"mendtestdoc",
                             L"&View", false, L"&Print it", false, L"", false, L"", -1);
    EXPECT_EQ(DefaultText(kClass + "\\shell\\open"), "&View");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\open\\command"), "\"C:\\Program Files\\Tool\\tool.exe\" \"%1\"");
    EXPECT_FALSE(Present(kClass + "\\shell\\print"));
    EXPECT_FALSE(Present(kClass + "\\shell\\add"));
    EXPECT_FALSE(Present(kClass + "\\shell\\new"));
    EXPECT_FALSE(Present(kClass + "\\DefaultIcon"));
}

TEST_F(AssociationTest, AdditionalVerbsGoToAClassOfTheCurrentRoot) {
    reg.CreateEXEAssociation(L"C:\\tool.exe", Wide(kClass), L"Doc", L"mendtestdoc");
    reg.ClassKey(kHkeyClassesRoot);
    reg.CreateAdditionalEXEAssociations(Wide(kClass), {L"edit"s, L"&Edit"s, L"\"C:\\tool.exe\" /e \"%1\""s,
                                                       L"play"s, L"&Play"s, L"C:\\player.exe %1"s});
    EXPECT_EQ(DefaultText(kClass + "\\shell\\edit"), "&Edit");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\edit\\command"), "\"C:\\tool.exe\" /e \"%1\"");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\play"), "&Play");
    EXPECT_EQ(DefaultText(kClass + "\\shell\\play\\command"), "C:\\player.exe %1");
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
}

TEST_F(AssociationTest, AdditionalVerbsRefuseBadListsAndMissingClasses) {
    reg.ClassKey(kHkeyClassesRoot);
    try {
        reg.CreateAdditionalEXEAssociations(Wide(kClass), {L"edit"s, L"&Edit"s});
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.Number(), static_cast<std::int32_t>(0x800469ACu));
        EXPECT_EQ(e.Source(), L"registry_wine_tests.cRegistry");
        EXPECT_EQ(
            e.Description(),
            L"Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    }
    // No items still asks for the class.
    for (const auto &items :
         {std::vector<RegistryValue>{}, std::vector<RegistryValue>{L"a"s, L"b"s, L"c"s}}) {
        try {
            reg.CreateAdditionalEXEAssociations(Wide(kClass), items);
            FAIL();
        } catch (const Error &e) {
            EXPECT_EQ(e.Number(), static_cast<std::int32_t>(0x800469ADu));
            EXPECT_EQ(e.Description(),
                      L"Error - attempt to create additional associations before class defined.");
        }
    }
    EXPECT_FALSE(Present(kClass));
}

// The file-type association operations, which write every text to HKEY_CLASSES_ROOT and again
// to HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "test_keys.h"

using namespace mend;
using namespace registry;
using namespace regtest;
using namespace std::string_literals;

namespace {

const std::string kClass = "MendpackTest.Document", kExtension = ".mendtestdoc";
const std::wstring kWideClass(kClass.begin(), kClass.end());

class AssociationTest : public ::testing::Test {
  protected:
    AssociationTest() { Clean(); }
    ~AssociationTest() override { Clean(); }
    static void Clean() {
        for (const std::string &key : {kClass, kExtension}) {
            DeleteTree(HKEY_CLASSES_ROOT, key);
            DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key);
        }
    }
    // The default value of a key below the class, which must read the same in both roots;
    // nullopt when the key is in neither.
    static std::optional<std::string> Text(const std::string &key) {
        RawValue classes = GetRaw(HKEY_CLASSES_ROOT, key, ""),
                 machine = GetRaw(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + key, "");
        if (!classes.found && !machine.found && !KeyPresent(HKEY_CLASSES_ROOT, key))
            return std::nullopt;
        EXPECT_EQ(classes.type, static_cast<DWORD>(REG_SZ)) << key;
        EXPECT_EQ(machine.data, classes.data) << key;
        return classes.data.substr(0, classes.data.find('\0'));
    }

    cRegistry reg;
};

} // namespace

TEST_F(AssociationTest, RegistersEveryVerbAndTheIconInBothRoots) {
    reg.CreateEXEAssociation(L"  C:\\Games\\GF3D\\tool.exe ", kWideClass, L"Mendpack test document",
                             L"mendtestdoc", L"", true, L"", true, L"", true, L"", 2);
    const std::string program = "\"C:\\Games\\GF3D\\tool.exe\"", shell = kClass + "\\shell\\";
    EXPECT_EQ(Text(kExtension), kClass);
    EXPECT_EQ(Text(kClass), "Mendpack test document");
    EXPECT_EQ(Text(shell + "open"), "&Open");
    EXPECT_EQ(Text(shell + "open\\command"), program + " \"%1\"");
    EXPECT_EQ(Text(shell + "print"), "&Print");
    EXPECT_EQ(Text(shell + "print\\command"), program + " /p \"%1\"");
    EXPECT_EQ(Text(shell + "add"), "&Install mendtestdoc");
    EXPECT_EQ(Text(shell + "add\\command"), program + " /a \"%1\"");
    EXPECT_EQ(Text(shell + "new"), "&New");
    EXPECT_EQ(Text(shell + "new\\command"), program + " /n \"%1\"");
    EXPECT_EQ(Text(kClass + "\\DefaultIcon"), program + ",2");
    // The last text went to the machine's classes, whose root stays.
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
    EXPECT_EQ(reg.SectionKey(), kWideClass + L"\\DefaultIcon");
}

TEST_F(AssociationTest, OpenOnlyWithOwnMenuTextAndNoIcon) {
    reg.CreateEXEAssociation(L"\"C:\\Program Files\\Tool\\tool.exe\"", kWideClass, L"Doc", L"mendtestdoc",
                             L"&View", false, L"&Print it", false, L"", false, L"", -1);
    EXPECT_EQ(Text(kClass + "\\shell\\open"), "&View");
    EXPECT_EQ(Text(kClass + "\\shell\\open\\command"), "\"C:\\Program Files\\Tool\\tool.exe\" \"%1\"");
    for (const char *absent : {"\\shell\\print", "\\shell\\add", "\\shell\\new", "\\DefaultIcon"})
        EXPECT_EQ(Text(kClass + absent), std::nullopt) << absent;
}

TEST_F(AssociationTest, AdditionalVerbsGoToAnExistingClassOfTheCurrentRoot) {
    reg.ClassKey(kHkeyClassesRoot);
    auto raised = [&](const std::vector<RegistryValue> &items) {
        try {
            reg.CreateAdditionalEXEAssociations(kWideClass, items);
        } catch (const Error &e) {
            EXPECT_EQ(e.Source(), L"registry_wine_tests.cRegistry");
            return std::make_pair(e.Number(), e.Description());
        }
        return std::make_pair(0L, std::wstring());
    };
    const auto badList =
        std::make_pair(kErrAssociationItems, std::wstring(L"Invalid parameter list passed to "
                                                          L"CreateAdditionalEXEAssociations - "
                                                          L"expected Name/Text/Command"));
    const auto noClass =
        std::make_pair(kErrAssociationClassMissing,
                       std::wstring(L"Error - attempt to create additional associations before class "
                                    L"defined."));
    EXPECT_EQ(raised({L"edit"s, L"&Edit"s}), badList);
    EXPECT_EQ(raised({}), noClass) << "no items still asks for the class";
    EXPECT_EQ(raised({L"a"s, L"b"s, L"c"s}), noClass);
    EXPECT_EQ(Text(kClass), std::nullopt);

    reg.CreateEXEAssociation(L"C:\\tool.exe", kWideClass, L"Doc", L"mendtestdoc");
    reg.ClassKey(kHkeyClassesRoot);
    EXPECT_EQ(raised({L"edit"s, L"&Edit"s, L"\"C:\\tool.exe\" /e \"%1\""s, L"play"s, L"&Play"s,
                      L"C:\\player.exe %1"s}),
              std::make_pair(0L, std::wstring()));
    EXPECT_EQ(Text(kClass + "\\shell\\edit"), "&Edit");
    EXPECT_EQ(Text(kClass + "\\shell\\edit\\command"), "\"C:\\tool.exe\" /e \"%1\"");
    EXPECT_EQ(Text(kClass + "\\shell\\play"), "&Play");
    EXPECT_EQ(Text(kClass + "\\shell\\play\\command"), "C:\\player.exe %1");
    EXPECT_EQ(reg.ClassKey(), kHkeyLocalMachine);
}

// The uninstall page (frmUninstall), after installs made by the wizard's own pages.
#include "page_test.h"

using namespace kittest;
using wizard::PageId;

namespace {

class UninstallPage : public PageTest {
  protected:
    // Next on the uninstall page: its one message, then the end of the program.
    void Uninstall() {
        messages.clear();
        auto &page = Show<wizard::frmUninstall>(PageId::frmUninstall);
        EXPECT_THROW(page.Next_Click(), wizard::EndOfProgram);
        EXPECT_EQ(messages, std::vector<std::wstring>{L"Mendpack programs uninstalled"});
    }
    // Every install page, pressed Next in the order of a run with every box ticked but nVidia.
    void InstallEverything() {
        wizard.State.StoreAnswers({1, 1, 0, 1});
        for (PageId id : {PageId::frmStep3, PageId::frmStep4, PageId::frmStep6, PageId::frmStep8})
            Show<wizard::InstallPage>(id).Next_Click();
        ASSERT_EQ(messages.size(), 4u);
        EXPECT_EQ(messages[3], L"Pre-configured GF preference files installed");
    }
};

TEST_F(UninstallPage, GivesBackTheGameFolderAsItWasBeforeTheInstall) {
    WriteKit(FullKit());
    WriteGameFile(L"falcon.exe", "the game");
    WriteGameFile(L"Data\\gfprefs.dat", PlayerPrefs('s'));
    WriteGameFile(L"Data\\Multi\\mpprefs.dat", PlayerPrefs('m'));
    FolderContents before = Contents(game.Path());
    InstallEverything();
    ASSERT_TRUE(wintest::Exists(DesktopShortcut()));
    // The launcher froze the multiplayer file; the kit's files may be read-only too.
    wintest::SetReadOnly(game / L"Data\\Multi\\mpprefs.dat", true);
    wintest::SetReadOnly(game / L"glide2x.dll", true);

    Uninstall();
    EXPECT_EQ(Contents(game.Path()), before);
    EXPECT_FALSE(wintest::Exists(DesktopShortcut()));

    // A second uninstall finds nothing to do.
    Uninstall();
    EXPECT_EQ(Contents(game.Path()), before);
}

TEST_F(UninstallPage, RestoresABackupWhosePreferenceFileIsMissingAndLeavesFilesWithoutBackups) {
    WriteGameFile(L"Data\\wgfprefs.bak", PlayerPrefs('s'));
    WriteGameFile(L"Data\\Multi\\mpprefs.dat", "no backup of this one");
    WriteGameFile(L"glide2x.dll", "whoever put it there");
    WriteGameFile(L"OpenGLid.INI", "ini");
    WriteGameFile(L"gfprefs.dat", "not the uninstall's business");
    wintest::WriteFile(DesktopShortcut(), "shortcut");
    wintest::SetReadOnly(DesktopShortcut(), true);
    Uninstall();
    FolderContents expected = {{L"Data\\", ""},
                               {L"Data\\Multi\\", ""},
                               {L"Data\\gfprefs.dat", PlayerPrefs('s')},
                               {L"Data\\Multi\\mpprefs.dat", "no backup of this one"},
                               {L"gfprefs.dat", "not the uninstall's business"}};
    EXPECT_EQ(Contents(game.Path()), expected);
    EXPECT_FALSE(wintest::Exists(DesktopShortcut()));
}

TEST_F(UninstallPage, ExitChangesNothing) {
    WriteKit(FullKit());
    WriteGameFile(L"Data\\gfprefs.dat", PlayerPrefs('s'));
    wintest::MakeFolders(game / L"Data\\Multi");
    InstallEverything();
    FolderContents before = Contents(game.Path());
    messages.clear();
    auto &page = Show<wizard::frmUninstall>(PageId::frmUninstall);
    EXPECT_THROW(page.Exit_Click(), wizard::EndOfProgram);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Contents(game.Path()), before);
    EXPECT_TRUE(wintest::Exists(DesktopShortcut()));
}

} // namespace

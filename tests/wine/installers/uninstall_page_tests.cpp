// The uninstall page after installs made by the wizard's own pages.
#include "page_test.h"

using namespace kittest;

namespace {

using UninstallPage = PageTest;
const std::wstring kUninstalled = L"Mendpack programs uninstalled";

TEST_F(UninstallPage, GivesBackTheFolderAsItWasBeforeTheInstallAndASecondRunChangesNothing) {
    WriteKit(FullKit());
    Put({{L"falcon.exe", "the game"},
         {L"Data\\gfprefs.dat*", PlayerPrefs('s')},
         {L"Data\\Multi\\mpprefs.dat", PlayerPrefs('m')}});
    const FolderContents before = Contents(game.Path());
    wizard->State.StoreAnswers({1, 1, 0, 1});
    const PageId route[] = {PageId::frmStep3, PageId::frmStep4, PageId::frmStep6, PageId::frmStep8,
                            PageId::frmStep9};
    const wchar_t *installed[] = {L"Nightjar.exe installed, shortcut to desktop created", L"Turbo installed",
                                  L"GlideOS installed", L"Pre-configured GF preference files installed"};
    for (size_t i = 0; i + 1 < std::size(route); ++i)
        Press(route[i], L"Next", {installed[i]}, route[i + 1]);
    // The launcher froze the multiplayer file; the kit's own files may be read-only too.
    wintest::SetReadOnly(game / L"Data\\Multi\\mpprefs.dat", true);
    wintest::SetReadOnly(game / L"glide2x.dll", true);
    const FolderContents installedFolder = Contents(game.Path());
    ASSERT_TRUE(wintest::Exists(LauncherShortcut()));

    Press(PageId::frmUninstall, L"Exit", {}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), installedFolder);
    EXPECT_TRUE(wintest::Exists(LauncherShortcut()));
    for (int run = 1; run <= 2; ++run) {
        NewRun();
        Press(PageId::frmUninstall, L"Next", {kUninstalled}, std::nullopt);
        EXPECT_EQ(Contents(game.Path()), before) << "run " << run;
        EXPECT_FALSE(wintest::Exists(LauncherShortcut()));
    }
}

// The player's own files come back with their attributes, and the kit's own go, read-only or not;
// a file of the player's that no page replaced (nothing kept of it) is no kit file and stays.
TEST_F(UninstallPage, RestoresBackupsAndKeptFilesAndRemovesOnlyTheKitsOwn) {
    const std::wstring kept = L"Mendpack Backup\\";
    ExpectOutcomes(PageId::frmUninstall, {{"",
                                           FullKit(),
                                           {{L"Data\\wgfprefs.bak", PlayerPrefs('s')},
                                            {L"Data\\Multi\\mpprefs.dat", "no backup of this one"},
                                            {L"glide2x.dll*", Payload("dgvoodoo sync glide2x.dll")},
                                            {L"OpenGLid.INI", "the player's, never replaced"},
                                            {L"Turbo.EXE", Payload("Turbo.EXE")},
                                            {kept + L"Turbo.EXE*", "the player's Turbo"},
                                            {kept + L"notes.txt", "the player's own"},
                                            {L"gfprefs.dat", "not the kit's"}},
                                           kUninstalled,
                                           {{L"Data\\", ""},
                                            {L"Data\\Multi\\", ""},
                                            {L"Data\\gfprefs.dat", PlayerPrefs('s')},
                                            {L"Data\\Multi\\mpprefs.dat", "no backup of this one"},
                                            {L"OpenGLid.INI", "the player's, never replaced"},
                                            {L"Turbo.EXE*", "the player's Turbo"},
                                            {kept, ""},
                                            {kept + L"notes.txt", "the player's own"},
                                            {L"gfprefs.dat", "not the kit's"}}}});
}

} // namespace

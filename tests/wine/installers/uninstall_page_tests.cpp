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

TEST_F(UninstallPage, RestoresABackupWithoutItsPreferenceFileAndLeavesFilesWithoutBackups) {
    ExpectOutcomes(PageId::frmUninstall, {{"",
                                           {},
                                           {{L"Data\\wgfprefs.bak", PlayerPrefs('s')},
                                            {L"Data\\Multi\\mpprefs.dat", "no backup of this one"},
                                            {L"glide2x.dll*", "whoever put it there"},
                                            {L"OpenGLid.INI", "ini"},
                                            {L"gfprefs.dat", "not the kit's"}},
                                           kUninstalled,
                                           {{L"Data\\", ""},
                                            {L"Data\\Multi\\", ""},
                                            {L"Data\\gfprefs.dat", PlayerPrefs('s')},
                                            {L"Data\\Multi\\mpprefs.dat", "no backup of this one"},
                                            {L"gfprefs.dat", "not the kit's"}}}});
}

} // namespace

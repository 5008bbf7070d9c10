// The kit exactly as players get it (the 32-bit build, packed by scripts/package.sh), unpacked
// into a game folder and taken through one install with every box ticked, one run of its
// launcher and its uninstall. Under emulated 32-bit Wine every program start takes a minute or
// more, so each path runs once and everything is polled.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
#include "folder_contents.h"
#include "support/gui.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "wizard_driver.h"

using namespace wintest;
using namespace wizdrive;
using kittest::Contents;
using kittest::FolderContents;
using wizard::PageId;

namespace {

std::string Prefs(char fill) {
    std::string bytes(300, fill);
    bytes[68] = 0x55; // the byte the launcher's fix sets to 0
    return bytes;
}

// The player's game folder before the kit, with a Glide emulator of the player's own that the
// emulator page replaces; after the uninstall it must be exactly so again.
FolderContents PlayersFolder() {
    const std::string game = ReadFile(ProgramFolder() + L"\\game_stand_in.exe");
    return {{L"falcon.exe", game},
            {L"falconmmp.exe", game},
            {L"glide2x.dll", "the player's own Glide emulator"},
            {L"OpenGLid.INI", "[Options]\r\nPlayersOwn=1\r\n"},
            {L"Data\\", ""},
            {L"Data\\gfprefs.dat", Prefs('s')},
            {L"Data\\Multi\\", ""},
            {L"Data\\Multi\\mpprefs.dat", Prefs('m')}};
}

// What may stay after the uninstall: the kit's own files (the player deletes them), the 1078
// patch, which the uninstall leaves alone, and the stand-in game's record of its start.
const wchar_t *const kLeftBehind[] = {L"mendpack.exe",        L"vbuzip10.dll", L"MendpackFiles.zip",
                                      L"Mendpack Readme.pdf", L"GF3D1078.EXE", L"1078patch Readme .txt",
                                      L"launches.txt"};

void Shot(HWND window, const std::wstring &what) {
    if (window)
        SaveScreenshot(window, L"shipped-kit-" + what);
}

// One run of the kit's own mendpack.exe through `route`, then `last` pressed on the last page;
// the wizard's messages on the way.
std::vector<std::wstring> Walk(const std::wstring &game, std::vector<PageId> route, const wchar_t *last) {
    WizardRun run(game, game + L"\\mendpack.exe");
    HWND page = run.WaitForPage(route[0]);
    for (size_t i = 0; page && i + 1 < route.size(); ++i) {
        Shot(page, wizard::LayoutOf(route[i]).name);
        if (route[i] == PageId::frmStep1 && route[i + 1] == PageId::frmUninstall) {
            run.Click(page, PageId::frmStep1, L"btnUninstall");
            EXPECT_TRUE(WaitUntil([&] { return run.IsChecked(page, PageId::frmStep1, L"btnUninstall"); }));
        }
        if (route[i] == PageId::frmStep2)
            run.SetAnswers(page, {1, 1, 1, 1});
        page = run.Advance(page, route[i], i == 0 ? L"NextStart" : L"Next", route[i + 1]);
    }
    if (!page)
        return {L"(the wizard did not reach its last page)"};
    Shot(page, wizard::LayoutOf(route.back()).name);
    run.Click(page, route.back(), last);
    run.AnswerMessagesUntil([&] { return ProcessEnded(run.Process().Handle(), nullptr); });
    DWORD code = 1;
    EXPECT_TRUE(run.WaitForExit(&code) && code == 0) << "the wizard ends well";
    return run.Messages();
}

} // namespace

TEST(ShippedKit, UnpackInstallFixFreezeLaunchAndUninstallGivesTheFolderBack) {
    TempFolder folder(L"GaleFalcon3D \u00e9");
    const std::wstring game = folder.Path();
    const FolderContents before = PlayersFolder();
    for (const auto &[name, bytes] : before)
        name.back() == L'\\' ? MakeFolders(folder / name) : WriteFile(folder / name, bytes);
    // The kit as unpacked from GF3D-Mendpack.zip, with the player's own archive tool.
    const std::wstring kit = ProgramFolder() + L"\\..\\kit";
    ASSERT_EQ(List(kit), (std::vector<std::wstring>{L"Mendpack Readme.pdf", L"MendpackFiles.zip",
                                                    L"mendpack.exe", L"vbuzip10.dll"}));
    for (const std::wstring &file : List(kit))
        ASSERT_TRUE(CopyFileW((kit + L"\\" + file).c_str(), (folder / file).c_str(), TRUE));
    const std::wstring shortcut = kittest::LauncherShortcut();
    DeleteFileW(shortcut.c_str());

    EXPECT_EQ(
        Walk(game,
             {PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep3, PageId::frmStep4,
              PageId::frmStep5, PageId::frmStep8, PageId::frmStep9},
             L"Exit"),
        (std::vector<std::wstring>{L"Please click OK to install the GF3D 1078 patch, then continue with "
                                   L"this wizard after 1078 completes.",
                                   L"Nightjar.exe installed, shortcut to desktop created", L"Turbo installed",
                                   L"dgvoodoo installed", L"Pre-configured GF preference files installed"}));
    EXPECT_TRUE(WaitUntil([&] { return Exists(folder / L"1078patch Readme .txt"); })) << "the patch ran";
    FolderContents installed = Contents(game);
    EXPECT_EQ(installed[L"Data\\wgfprefs.bak"] + installed[L"Data\\Multi\\wmpprefs.bak"],
              Prefs('s') + Prefs('m'));
    for (const wchar_t *file : {L"Nightjar.exe", L"Nightjar.htm", L"Turbo.EXE", L"Turbo.HLP"})
        EXPECT_EQ(installed.count(file), 1u) << mend::Utf8FromWide(file);
    EXPECT_NE(installed[L"glide2x.dll"], before.at(L"glide2x.dll")) << "the kit's emulator is in place";
    EXPECT_EQ(installed[L"Mendpack Backup\\glide2x.dll"], before.at(L"glide2x.dll"))
        << "and the player's kept";

    // The launcher as its shortcut starts it: single player, frozen, the game started.
    const kittest::ShortcutFields link = kittest::ReadShortcut(shortcut);
    EXPECT_EQ(link.target, game + L"\\Nightjar.EXE");
    {
        ChildProcess nightjar(game + L"\\Nightjar.exe", L"", link.workingDirectory);
        HWND dialog = FindTopWindow(L"Nightjar  1.0", nightjar.Id());
        ASSERT_NE(dialog, nullptr);
        for (int box : {1007, 1009, 1010}) { // Single Player, Freeze Preferences, Launch GF3D
            Click(dialog, box);
            ASSERT_TRUE(WaitUntil([&] { return FindControl(dialog, box)->Checked(); })) << box;
        }
        Shot(dialog, L"Nightjar");
        Click(dialog, 1003); // Fix GF3D Sound
        EXPECT_TRUE(WaitUntil([&] {
            return Exists(folder / L"launches.txt") &&
                   ReadFile(folder / L"launches.txt") == "falcon.exe|\r\n";
        }));
        EXPECT_FALSE(WaitForAnyMessageBox(nightjar.Id(), dialog, 300)) << "the fix reports nothing";
        PostClose(dialog);
        DWORD code = 1;
        EXPECT_TRUE(nightjar.WaitForExit(kGuiTimeoutMs, &code) && code == 0);
    }
    std::string fixed = installed[L"Data\\gfprefs.dat"];
    fixed[68] = 0;
    EXPECT_EQ(ReadFile(folder / L"Data\\gfprefs.dat"), fixed) << "only byte 68 changed";
    EXPECT_TRUE(IsReadOnly(folder / L"Data\\gfprefs.dat")) << "frozen";

    EXPECT_EQ(Walk(game, {PageId::frmStart, PageId::frmStep1, PageId::frmUninstall}, L"Next"),
              std::vector<std::wstring>{L"Mendpack programs uninstalled"});
    FolderContents after = Contents(game);
    for (const wchar_t *file : kLeftBehind)
        EXPECT_EQ(after.erase(file), 1u) << mend::Utf8FromWide(file);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Exists(shortcut));
}

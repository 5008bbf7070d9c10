// A player's journey with the kit, end to end: every program is the real one, driven through its
// windows, and the game folder is compared byte for byte at each step.
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
using kittest::LauncherShortcut;
using kittest::ReadShortcut;
using wizard::PageId;

namespace {

const std::wstring kKit = ProgramFolder() + L"\\journey-kit";
int shots = 0;

void Shot(HWND window, const std::wstring &what) {
    if (!window)
        return;
    wchar_t name[80];
    swprintf(name, 80, L"journey-%02d-%ls", ++shots, what.c_str());
    SaveScreenshot(window, name);
}

std::string Prefs(char fill) {
    std::string bytes(300, fill);
    bytes[68] = 0x55; // the byte the launcher's fix sets to 0
    return bytes;
}

// Start to Finish with every box ticked, but "nVidia" as given (dgvoodoo, else GlideOS); the
// messages the wizard showed on the way.
std::vector<std::wstring> Install(const std::wstring &game, bool screenshots, int16_t nVidia = 1) {
    WizardRun run(game);
    PageId route[] = {PageId::frmStart, PageId::frmStep1, PageId::frmStep2,
                      PageId::frmStep3, PageId::frmStep4, nVidia ? PageId::frmStep5 : PageId::frmStep6,
                      PageId::frmStep8, PageId::frmStep9};
    HWND page = run.WaitForPage(PageId::frmStart);
    for (size_t i = 0; page && i + 1 < std::size(route); ++i) {
        if (screenshots)
            Shot(page, wizard::LayoutOf(route[i]).name);
        if (route[i] == PageId::frmStep2)
            run.SetAnswers(page, {1, 1, nVidia, 1});
        page =
            run.Advance(page, route[i], route[i] == PageId::frmStart ? L"NextStart" : L"Next", route[i + 1]);
    }
    if (!page)
        return {L"(the wizard did not reach its last page)"};
    if (screenshots)
        Shot(page, L"frmStep9");
    run.Click(page, PageId::frmStep9, L"Exit");
    DWORD code = 1;
    EXPECT_TRUE(run.WaitForExit(&code) && code == 0) << "Finish ends the wizard";
    return run.Messages();
}

std::vector<std::wstring> Uninstall(const std::wstring &game) {
    WizardRun run(game);
    HWND page = run.WaitForPage(PageId::frmStart);
    page = page ? run.Advance(page, PageId::frmStart, L"NextStart", PageId::frmStep1) : nullptr;
    if (!page)
        return {};
    run.Click(page, PageId::frmStep1, L"btnUninstall");
    EXPECT_TRUE(WaitUntil([&] { return run.IsChecked(page, PageId::frmStep1, L"btnUninstall"); }));
    page = run.Advance(page, PageId::frmStep1, L"Next", PageId::frmUninstall);
    if (!page)
        return {};
    Shot(page, L"frmUninstall");
    run.Click(page, PageId::frmUninstall, L"Next");
    run.AnswerMessagesUntil([&] { return ProcessEnded(run.Process().Handle(), nullptr); });
    return run.Messages();
}

} // namespace

TEST(Journey, UnpackInstallFixTheSoundInstallAgainAndUninstall) {
    // A game folder as the player has it, then the kit's files unpacked into it.
    TempFolder folder(L"GaleFalcon3D \u00e9");
    const std::wstring game = folder.Path();
    std::string gameProgram = ReadFile(ProgramFolder() + L"\\game_stand_in.exe");
    WriteFile(folder / L"falcon.exe", gameProgram);
    WriteFile(folder / L"falconmmp.exe", gameProgram);
    MakeFolders(folder / L"Data\\Multi");
    WriteFile(folder / L"Data\\gfprefs.dat", Prefs('s'));
    WriteFile(folder / L"Data\\Multi\\mpprefs.dat", Prefs('m'));
    // A Glide wrapper and a slow-down tool of the player's own, which the kit replaces and gives back.
    const wchar_t *playersOwn[] = {L"glide2x.dll", L"OpenGLid.INI", L"Turbo.EXE", L"Turbo.HLP"};
    for (const wchar_t *file : playersOwn)
        WriteFile(folder / file, "the player's own " + mend::Utf8FromWide(file));
    for (const wchar_t *file :
         {L"mendpack.exe", L"vbuzip10.dll", L"MendpackFiles.zip", L"Mendpack Readme.pdf"})
        ASSERT_TRUE(CopyFileW((kKit + L"\\" + file).c_str(), (folder / file).c_str(), TRUE))
            << "kit file missing";
    const FolderContents unpacked = Contents(game);
    const std::wstring shortcut = LauncherShortcut();
    DeleteFileW(shortcut.c_str());

    // 1. The install path: the patch step runs first (no patch readme yet), then every fix.
    const std::vector<std::wstring> fixes = {L"Nightjar.exe installed, shortcut to desktop created",
                                             L"Turbo installed", L"dgvoodoo installed",
                                             L"Pre-configured GF preference files installed"};
    std::vector<std::wstring> expected = {L"Please click OK to install the GF3D 1078 patch, then continue "
                                          L"with this wizard after 1078 completes."};
    expected.insert(expected.end(), fixes.begin(), fixes.end());
    EXPECT_EQ(Install(game, true), expected);
    EXPECT_TRUE(WaitUntil([&] { return Exists(folder / L"1078patch Readme .txt"); }))
        << "the patch program ran";

    FolderContents installed = Contents(game);
    const std::string preset = installed[L"Data\\gfprefs.dat"];
    EXPECT_EQ(installed[L"Data\\wgfprefs.bak"], Prefs('s'));
    EXPECT_EQ(installed[L"Data\\Multi\\wmpprefs.bak"], Prefs('m'));
    EXPECT_NE(preset, Prefs('s'));
    for (const wchar_t *file : {L"Nightjar.exe", L"Nightjar.htm", L"Turbo.EXE", L"Turbo.HLP", L"glide2x.dll",
                                L"GF3D1078.EXE", L"1078patch Readme .txt"})
        EXPECT_EQ(installed.count(file), 1u) << mend::Utf8FromWide(file);
    EXPECT_EQ(installed.count(L"dgvoodoo sync glide2x.dll"), 0u);
    FolderContents kept; // OpenGLid.INI is GlideOS's alone, and dgvoodoo leaves it
    for (const wchar_t *file : playersOwn)
        if (std::wstring(file) != L"OpenGLid.INI")
            kept[std::wstring(L"Mendpack Backup\\") + file] = "the player's own " + mend::Utf8FromWide(file);
    kept[L"Mendpack Backup\\"] = "";
    for (const auto &[name, bytes] : kept)
        EXPECT_EQ(installed[name], bytes) << mend::Utf8FromWide(name);
    const kittest::ShortcutFields link = ReadShortcut(shortcut);
    EXPECT_EQ(link.target, game + L"\\Nightjar.EXE");
    EXPECT_EQ(link.workingDirectory, game);

    // 2. The launcher, started as its shortcut starts it, fixes the single-player preferences.
    {
        ChildProcess nightjar(link.target, L"", link.workingDirectory);
        HWND dialog = FindTopWindow(L"Nightjar  1.0", nightjar.Id());
        ASSERT_NE(dialog, nullptr);
        Click(dialog, 1007); // Single Player
        ASSERT_TRUE(WaitUntil([&] { return FindControl(dialog, 1007)->Checked(); }));
        Shot(dialog, L"Nightjar");
        Click(dialog, 1003); // Fix GF3D Sound
        EXPECT_TRUE(WaitUntil([&] { return ReadFile(folder / L"Data\\gfprefs.dat")[68] == 0; }));
        Sync(dialog);
        EXPECT_FALSE(WaitForAnyMessageBox(nightjar.Id(), dialog, 300)) << "the fix reports nothing";
        PostClose(dialog);
        DWORD code = 1;
        EXPECT_TRUE(WaitUntil([&] { return ProcessEnded(nightjar.Handle(), &code); }));
        EXPECT_EQ(code, 0u);
    }
    std::string fixed = preset;
    fixed[68] = 0;
    EXPECT_EQ(ReadFile(folder / L"Data\\gfprefs.dat"), fixed) << "only byte 68 changed";
    EXPECT_FALSE(IsReadOnly(folder / L"Data\\gfprefs.dat"));

    // 3. A second install, with the other Glide emulator: the patch is in, the player's own
    // preferences stay in the backups, and their own files stay kept as they were.
    std::vector<std::wstring> glideOS = fixes;
    glideOS[2] = L"GlideOS installed";
    EXPECT_EQ(Install(game, false, 0), glideOS);
    FolderContents again = Contents(game);
    kept[L"Mendpack Backup\\OpenGLid.INI"] = "the player's own OpenGLid.INI";
    for (const auto &[name, bytes] : kept)
        EXPECT_EQ(again[name], bytes) << mend::Utf8FromWide(name);
    EXPECT_EQ(again.count(L"Mendpack Backup\\Nightjar.exe"), 0u) << "the kit's own is not kept";
    EXPECT_EQ(again[L"Data\\wgfprefs.bak"], Prefs('s'));
    EXPECT_EQ(again[L"Data\\Multi\\wmpprefs.bak"], Prefs('m'));
    EXPECT_EQ(again[L"Data\\gfprefs.dat"], preset) << "the preset is installed again";

    // 4. The uninstall gives the folder back as it was, the player's own files included, but for
    // the 1078 patch, which stays.
    EXPECT_EQ(Uninstall(game), std::vector<std::wstring>{L"Mendpack programs uninstalled"});
    FolderContents after = Contents(game);
    EXPECT_EQ(after.erase(L"GF3D1078.EXE"), 1u);
    EXPECT_EQ(after.erase(L"1078patch Readme .txt"), 1u);
    EXPECT_EQ(after, unpacked);
    EXPECT_FALSE(Exists(shortcut));
}

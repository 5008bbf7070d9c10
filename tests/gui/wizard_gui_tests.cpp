// The wizard end to end, its real windows driven by messages: every page and route of the
// mendpack.exe of the build in a temporary game folder, and a player's whole journey with the kit,
// where every program is the real one and the game folder is compared byte for byte at each step.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>

#include "folder_contents.h"
#include "wizard_driver.h"

using namespace wintest;
using kittest::Contents;
using kittest::FolderContents;
using P = wizard::PageId;

namespace {

// Preference bytes, but for byte 68, which the launcher's fix sets to 0.
std::string Prefs(char fill) {
    return std::string(68, fill) + '\x55' + std::string(231, fill);
}

// One run of the kit's own mendpack.exe along `route`, every box ticked, ended by the last page's
// button: it shows `messages` and ends well.
void Mendpack(const std::wstring &game, const std::vector<P> &route,
              const std::vector<std::wstring> &messages) {
    wizdrive::WizardRun run(game, game + L"\\mendpack.exe");
    HWND page = run.Walk(route, {1, 1, 1, 1}, L"Next", [](HWND shown, P id) {
        SaveScreenshot(shown, L"journey-" + std::wstring(wizard::LayoutOf(id).name));
    });
    ASSERT_NE(page, nullptr);
    run.Click(page, route.back(), route.back() == P::frmUninstall ? L"Next" : L"Exit");
    DWORD code = 1;
    EXPECT_TRUE(run.WaitForExit(&code) && code == 0) << "the wizard ends well";
    EXPECT_EQ(run.Messages(), messages);
}

std::string Own(const wchar_t *file) {
    return "the player's own " + mend::Utf8FromWide(file);
}

} // namespace

// Every page is reached, checked against its layout and left by Exit (Finish on the last page),
// which ends the program at once; closing a page's frame does the same. On the way the questions
// are answered as the row says and every install page is skipped: the pages come in the order the
// answers give, no message shows and the game folder stays as it was. On Windows XP (as Wine's
// setting for the program names it) the XP box is pre-ticked, and once unticked it counts.
TEST(WizardGui, EveryRouteShowsItsPagesSkipChangesNothingAndExitEndsTheProgram) {
    const struct {
        std::vector<P> route;
        wizard::Answers answers;
        bool closeFrame = false, windowsXP = false;
    } cases[] = {
        {{P::frmStart}, {}},
        {{P::frmStart, P::frmStep1}, {}},
        {{P::frmStart, P::frmStep1}, {}, true},
        {{P::frmStart, P::frmStep1, P::frmStep2}, {}, false, true},
        {{P::frmStart, P::frmStep1, P::frmStep2}, {}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3}, {1, 0, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep4}, {0, 1, 0, 0}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep5}, {0, 0, 1, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep6}, {0, 0, 0, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep8}, {0, 0, 1, 0}, false, true},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep4, P::frmStep6, P::frmStep8, P::frmStep9},
         {0, 1, 0, 1}},
        {{P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3, P::frmStep4, P::frmStep5, P::frmStep8,
          P::frmStep9},
         {1, 1, 1, 1}},
        {{P::frmStart, P::frmStep1, P::frmUninstall}, {}},
    };
    const wchar_t *wineSetting = L"Software\\Wine\\AppDefaults\\mendpack.exe";
    for (const auto &c : cases) {
        const P last = c.route.back();
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        RegDeleteKeyW(HKEY_CURRENT_USER, wineSetting);
        if (c.windowsXP)
            SHSetValueW(HKEY_CURRENT_USER, wineSetting, L"Version", REG_SZ, L"winxp64", 16);
        TempFolder folder(L"game");
        // A game folder that the install path's checks accept without running the patch step.
        WriteFile(folder / L"falcon.exe", "stand-in game");
        WriteFile(folder / L"1078patch Readme .txt", "patched");
        const std::vector<std::wstring> before = List(folder.Path());
        wizdrive::WizardRun run(folder.Path());
        HWND page = run.Walk(c.route, c.answers, L"Skip");
        ASSERT_NE(page, nullptr);
        if (c.closeFrame) {
            PostClose(page);
        } else {
            // What the user sees (the texts WaitForPage has matched): a fixed frame of the layout's
            // client size, the focus on the first control that is not a label, ticked the Install
            // option and on Windows XP the XP box; and a screenshot for the README.
            const wizard::PageLayout &layout = wizard::LayoutOf(last);
            const int dpi = GetDeviceCaps(win32::WindowDC(nullptr).Get(), LOGPIXELSX);
            RECT client;
            GetClientRect(page, &client);
            EXPECT_EQ(client.right, MulDiv(layout.clientWidth, dpi, wizard::kTwipsPerInch));
            EXPECT_EQ(client.bottom, MulDiv(layout.clientHeight, dpi, wizard::kTwipsPerInch));
            EXPECT_FALSE(GetWindowLongW(page, GWL_STYLE) & WS_THICKFRAME) << "the page can be resized";
            const auto controls = layout.InTabOrder();
            auto first = std::find_if(controls.begin(), controls.end(),
                                      [](auto *c) { return c->kind != wizard::ControlKind::Label; });
            HWND focus = GetDlgItem(page, wizard::ControlId(**first));
            EXPECT_TRUE(WaitUntil([&] { return FocusedWindow(page) == focus; }, 5000)) << "not on the first";
            SaveScreenshot(page, L"wizard-" + std::wstring(layout.name));
            for (const wizard::ControlLayout *control : controls)
                EXPECT_EQ(run.IsChecked(page, last, control->name),
                          control->name == std::wstring(c.windowsXP ? L"chkWinXP" : L"btnInstall"));
            run.Click(page, last, last == P::frmStart ? L"ExitStart" : L"Exit");
        }
        DWORD code = 99;
        EXPECT_TRUE(run.WaitForExit(&code) && code == 0) << "the wizard did not end well: " << code;
        EXPECT_EQ(run.Messages(), std::vector<std::wstring>{});
        EXPECT_EQ(List(folder.Path()), before);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, wineSetting);
}

// The kit is unpacked into a game folder and installed with every box ticked; the launcher, started
// as its shortcut starts it, fixes, freezes and starts the game; the uninstall gives the folder back.
// The 32-bit build takes the kit exactly as players get it (packed by scripts/package.sh and
// unpacked by shipped_kit.sh).
TEST(Journey, UnpackInstallFixFreezeLaunchAndUninstallGivesTheFolderBack) {
    TempFolder folder(L"GaleFalcon3D \u00e9");
    const std::wstring game = folder.Path();
    // The player's game folder, with a Glide emulator and a slow-down tool of the player's own
    // that the kit replaces and gives back; after the uninstall it must be exactly so again.
    const std::string gameProgram = ReadFile(ProgramFolder() + L"\\game_stand_in.exe");
    FolderContents before = {{L"falcon.exe", gameProgram},
                             {L"falconmmp.exe", gameProgram},
                             {L"Data\\", ""},
                             {L"Data\\gfprefs.dat", Prefs('s')},
                             {L"Data\\Multi\\", ""},
                             {L"Data\\Multi\\mpprefs.dat", Prefs('m')}};
    for (const wchar_t *file : {L"glide2x.dll", L"OpenGLid.INI", L"Turbo.EXE", L"Turbo.HLP"})
        before[file] = Own(file);
    for (const auto &[name, bytes] : before)
        name.back() == L'\\' ? MakeFolders(folder / name) : WriteFile(folder / name, bytes);
    // The 32-bit build is the shipped one: its kit is the packed and unpacked one.
    const std::wstring kit = ProgramFolder() + (sizeof(void *) == 4 ? L"\\..\\kit" : L"\\journey-kit");
    std::vector<std::wstring> kitFiles = List(kit);
    for (const std::wstring &file : kitFiles)
        ASSERT_TRUE(CopyFileW((kit + L"\\" + file).c_str(), (folder / file).c_str(), TRUE));
    const std::wstring shortcut = kittest::LauncherShortcut();
    DeleteFileW(shortcut.c_str());
    // Every start of the game's stand-in (which is also the 1078 patch) leaves a line here.
    std::string launches = "GF3D1078.EXE|\r\n";
    auto launched = [&] {
        return Exists(folder / L"launches.txt") && ReadFile(folder / L"launches.txt") == launches;
    };

    // The install, the patch step first: the player's preferences in their backups, the kit's files
    // in place and of the player's own exactly the files it replaced, kept (by their names) in
    // "Mendpack Backup".
    Mendpack(game,
             {P::frmStart, P::frmStep1, P::frmStep2, P::frmStep3, P::frmStep4, P::frmStep5, P::frmStep8,
              P::frmStep9},
             {L"Please click OK to install the GF3D 1078 patch, then continue with this wizard after 1078 "
              L"completes.",
              L"Nightjar.exe installed, shortcut to desktop created", L"Turbo installed",
              L"dgvoodoo installed", L"Pre-configured GF preference files installed"});
    EXPECT_TRUE(WaitUntil(launched)) << "the patch ran";
    FolderContents installed = Contents(game);
    EXPECT_EQ(installed[L"Data\\wgfprefs.bak"] + installed[L"Data\\Multi\\wmpprefs.bak"],
              Prefs('s') + Prefs('m'));
    for (const wchar_t *file : {L"Nightjar.exe", L"Nightjar.htm", L"Turbo.EXE", L"Turbo.HLP", L"glide2x.dll"})
        EXPECT_TRUE(installed.count(file) && installed[file] != Own(file)) << mend::Utf8FromWide(file);
    // OpenGLid.INI belongs to GlideOS alone: dgvoodoo leaves it.
    EXPECT_EQ(Contents(game + L"\\Mendpack Backup"), (FolderContents{{L"glide2x.dll", Own(L"glide2x.dll")},
                                                                     {L"Turbo.EXE", Own(L"Turbo.EXE")},
                                                                     {L"Turbo.HLP", Own(L"Turbo.HLP")}}));
    const std::string preset = installed[L"Data\\gfprefs.dat"];
    EXPECT_NE(preset, Prefs('s'));

    // The launcher as its shortcut starts it: single player, frozen, the game started.
    const kittest::ShortcutFields link = kittest::ReadShortcut(shortcut);
    EXPECT_EQ(link.target, game + L"\\Nightjar.EXE");
    EXPECT_EQ(link.workingDirectory, game);
    {
        ChildProcess nightjar(link.target, L"", link.workingDirectory);
        HWND dialog = FindDialog(L"Nightjar  1.0", nightjar.Id());
        ASSERT_NE(dialog, nullptr);
        // Single Player, Freeze Preferences and Launch GF3D ticked, then Fix GF3D Sound.
        for (int control : {1007, 1009, 1010, 1003})
            Click(dialog, control);
        launches += "falcon.exe|\r\n";
        EXPECT_TRUE(WaitUntil(launched)) << "the game started";
        EXPECT_TRUE(Sync(dialog) && DialogWindows(nightjar.Id(), dialog).empty())
            << "the fix reports nothing";
        SaveScreenshot(dialog, L"journey-Nightjar");
        PostClose(dialog);
        EXPECT_TRUE(nightjar.WaitForExit(kGuiTimeoutMs));
    }
    EXPECT_EQ(Contents(game)[L"Data\\gfprefs.dat*"], preset.substr(0, 68) + '\0' + preset.substr(69))
        << "only byte 68 changed, and frozen";

    // The uninstall gives the folder back as it was but for the kit's own files (the player
    // deletes them), the 1078 patch, which it leaves alone, and the stand-in's record of starts.
    Mendpack(game, {P::frmStart, P::frmStep1, P::frmUninstall}, {L"Mendpack programs uninstalled"});
    FolderContents after = Contents(game);
    kitFiles.insert(kitFiles.end(), {L"GF3D1078.EXE", L"launches.txt"});
    for (const std::wstring &file : kitFiles)
        EXPECT_EQ(after.erase(file), 1u) << mend::Utf8FromWide(file);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Exists(shortcut));
}

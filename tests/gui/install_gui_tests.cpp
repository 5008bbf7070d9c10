// The install and uninstall paths end to end: the real mendpack.exe in a game folder with a kit
// archive, every box ticked, every message answered, and the folder checked afterwards.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
#include "folder_contents.h"
#include "kit.h"
#include "support/gui.h"
#include "wine_menu_builder.h"
#include "wizard_driver.h"

using namespace wintest;
using namespace wizdrive;
using namespace kittest;
using wizard::PageId;

namespace {

std::wstring DesktopShortcut() {
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return std::wstring(desktop) + L"\\Nightjar.lnk";
}

HWND ToStep1(WizardRun &run) {
    HWND start = run.WaitForPage(PageId::frmStart);
    return start ? run.Advance(start, PageId::frmStart, L"NextStart", PageId::frmStep1) : nullptr;
}

void ExpectEnds(WizardRun &run) {
    DWORD code = 99;
    EXPECT_TRUE(run.WaitForExit(&code)) << "the wizard did not end";
    EXPECT_EQ(code, 0u);
}

class InstallGui : public ::testing::Test {
  protected:
    InstallGui() { DeleteFileW(DesktopShortcut().c_str()); }
    ~InstallGui() override {
        SetFileAttributesW(DesktopShortcut().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(DesktopShortcut().c_str());
    }

    // Start to Finish with every box ticked; returns the messages shown on the install pages.
    std::vector<std::wstring> InstallWithEveryBoxTicked() {
        WizardRun run(folder.Path());
        HWND page = ToStep1(run);
        page = page ? run.Advance(page, PageId::frmStep1, L"Next", PageId::frmStep2) : nullptr;
        if (!page)
            return {};
        for (const wchar_t *box : {L"chkWinXP", L"chkCPUspeed", L"chkNVidia", L"chkVideoMem"}) {
            if (!run.IsChecked(page, PageId::frmStep2, box))
                run.Click(page, PageId::frmStep2, box);
            EXPECT_TRUE(WaitUntil([&] { return run.IsChecked(page, PageId::frmStep2, box); }));
        }
        size_t before = run.Messages().size();
        const PageId route[] = {PageId::frmStep2, PageId::frmStep3, PageId::frmStep4,
                                PageId::frmStep5, PageId::frmStep8, PageId::frmStep9};
        for (size_t i = 0; page && i + 1 < std::size(route); ++i)
            page = run.Advance(page, route[i], L"Next", route[i + 1]);
        if (!page)
            return {};
        std::vector<std::wstring> all = run.Messages();
        run.Click(page, PageId::frmStep9, L"Exit");
        ExpectEnds(run);
        return std::vector<std::wstring>(all.begin() + static_cast<long>(before), all.end());
    }

    std::vector<std::wstring> Uninstall() {
        WizardRun run(folder.Path());
        HWND page = ToStep1(run);
        if (!page)
            return {};
        run.Click(page, PageId::frmStep1, L"btnUninstall");
        EXPECT_TRUE(WaitUntil([&] { return run.IsChecked(page, PageId::frmStep1, L"btnUninstall"); }));
        page = run.Advance(page, PageId::frmStep1, L"Next", PageId::frmUninstall);
        if (!page)
            return {};
        size_t before = run.Messages().size();
        run.Click(page, PageId::frmUninstall, L"Next");
        run.AnswerMessagesUntil([&] { return ProcessEnded(run.Process().Handle(), nullptr); });
        ExpectEnds(run);
        std::vector<std::wstring> all = run.Messages();
        return std::vector<std::wstring>(all.begin() + static_cast<long>(before), all.end());
    }

    NoWineMenuBuilder quiet;
    GameFolder folder;
};

TEST_F(InstallGui, TheInstallPathPutsEveryFixInPlaceAndTheUninstallTakesItAllBack) {
    WriteFile(folder / L"MendpackFiles.zip", MakeZip(FullKit()));
    MakeFolders(folder / L"Data\\Multi");
    WriteFile(folder / L"Data\\gfprefs.dat", PlayerPrefs('s'));
    SetReadOnly(folder / L"Data\\gfprefs.dat", true); // frozen by the launcher
    WriteFile(folder / L"Data\\Multi\\mpprefs.dat", PlayerPrefs('m'));
    const FolderContents original = Contents(folder.Path());

    const std::vector<std::wstring> installed = {L"Nightjar.exe installed, shortcut to desktop created",
                                                 L"Turbo installed", L"dgvoodoo installed",
                                                 L"Pre-configured GF preference files installed"};
    EXPECT_EQ(InstallWithEveryBoxTicked(), installed);
    FolderContents expected = original;
    expected.erase(L"Data\\gfprefs.dat*");
    expected[L"Data\\gfprefs.dat"] = Payload("gfprefs.dat");
    expected[L"Data\\wgfprefs.bak*"] = PlayerPrefs('s');
    expected[L"Data\\Multi\\mpprefs.dat"] = Payload("mpprefs.dat");
    expected[L"Data\\Multi\\wmpprefs.bak"] = PlayerPrefs('m');
    for (const char *file : {"Nightjar.exe", "Nightjar.htm", "Turbo.EXE", "Turbo.HLP"})
        expected[std::wstring(file, file + strlen(file))] = Payload(file);
    expected[L"glide2x.dll"] = Payload("dgvoodoo sync glide2x.dll");
    EXPECT_EQ(Contents(folder.Path()), expected);
    EXPECT_TRUE(Exists(DesktopShortcut()));

    // A second install keeps the player's originals in the backups.
    EXPECT_EQ(InstallWithEveryBoxTicked(), installed);
    EXPECT_EQ(Contents(folder.Path()), expected);

    EXPECT_EQ(Uninstall(), std::vector<std::wstring>{L"Mendpack programs uninstalled"});
    EXPECT_EQ(Contents(folder.Path()), original);
    EXPECT_FALSE(Exists(DesktopShortcut()));

    EXPECT_EQ(Uninstall(), std::vector<std::wstring>{L"Mendpack programs uninstalled"});
    EXPECT_EQ(Contents(folder.Path()), original);
}

} // namespace

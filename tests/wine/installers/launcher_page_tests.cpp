// The launcher page (frmStep3): Nightjar and its help page out of the first "Mend*.zip", and the
// desktop shortcut.
#include <windows.h>

#include "common/text.h"
#include "page_test.h"

using namespace kittest;
using wizard::PageId;

namespace {

class LauncherPage : public PageTest {
  protected:
    wizard::frmStep3 &Page() { return Show<wizard::frmStep3>(PageId::frmStep3); }
    void ExpectNoShortcut() { EXPECT_FALSE(wintest::Exists(DesktopShortcut())); }
};

bool SameText(const std::wstring &a, const std::wstring &b) {
    return mend::LowerAscii(a) == mend::LowerAscii(b);
}

TEST_F(LauncherPage, PutsTheLauncherInTheGameFolderAndItsShortcutOnTheDesktop) {
    WriteKit(FullKit());
    // An older shortcut of that name is replaced without a question.
    wintest::WriteFile(DesktopShortcut(), "not a shortcut");
    wizard.State.StoreAnswers({1, 1, 0, 0});
    auto &page = Page();
    ASSERT_NE(page.m_cUnzip, nullptr) << "the reader is made when the page loads";

    NextShows(page, L"Nightjar.exe installed, shortcut to desktop created", PageId::frmStep4);

    FolderContents expected = {{L"MendpackFiles.zip", MakeZip(FullKit())},
                               {L"Nightjar.exe", Payload("Nightjar.exe")},
                               {L"Nightjar.htm", Payload("Nightjar.htm")}};
    EXPECT_EQ(Contents(game.Path()), expected);

    ShortcutFields link = ReadShortcut(DesktopShortcut());
    // Windows keeps the target as written; Wine resolves it against the file system, which gives
    // the file's own case ("Nightjar.exe"). Both name the same file.
    EXPECT_TRUE(SameText(link.target, game.Path() + L"\\Nightjar.EXE")) << mend::Utf8FromWide(link.target);
    EXPECT_EQ(link.workingDirectory, game.Path());
    EXPECT_EQ(link.description, L"Nightjar");
    // Windows reads back SW_SHOWNORMAL. Wine 8 writes 0 into the file for it and reads that back
    // as SW_SHOWNORMAL as well; a shortcut whose show command is 0 opens a normal window.
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);

    // Kept beside the test program, with the game folder it must name, for the check with an
    // independent .lnk reader (check_shortcut.sh).
    CopyFileW(DesktopShortcut().c_str(), (wintest::ProgramFolder() + L"\\installers-Nightjar.lnk").c_str(),
              FALSE);
    wintest::WriteFile(wintest::ProgramFolder() + L"\\installers-Nightjar.folder",
                       mend::Utf8FromWide(game.Path()));
}

TEST_F(LauncherPage, TakesOnlyTheExactNamesWhereverTheArchiveKeepsThem) {
    WriteKit(
        {{"nightjar.exe", "wrong case"}, {"NIGHTJAR.HTM", "wrong case"}, {"Nightjar.EXE", "wrong case"}});
    NextShows(Page(), L"Error -- Nightjar file not found", PageId::frmStep8);
    EXPECT_EQ(wintest::List(game.Path()), std::vector<std::wstring>{L"MendpackFiles.zip"});
    ExpectNoShortcut();
}

TEST_F(LauncherPage, FindsMembersStoredInFoldersOfTheArchive) {
    WriteKit({{"Launcher/", ""}, {"Launcher/Nightjar.exe", "in a folder"}, {"Help/en/Nightjar.htm", "help"}});
    NextShows(Page(), L"Nightjar.exe installed, shortcut to desktop created", PageId::frmStep8);
    EXPECT_EQ(GameFile(L"Nightjar.exe"), "in a folder");
    EXPECT_EQ(GameFile(L"Nightjar.htm"), "help");
    EXPECT_FALSE(HasGameFile(L"Launcher"));
    EXPECT_TRUE(wintest::Exists(DesktopShortcut()));
}

TEST_F(LauncherPage, WithoutAKitArchiveWritesNoShortcutAndGoesOn) {
    // Names that do not match "Mend*.zip" are no kit archive.
    WriteKit(FullKit(), L"Kit.zip");
    WriteKit(FullKit(), L"MyMendpack.zip");
    WriteKit(FullKit(), L"MendpackFiles.zip.bak");
    FolderContents before = Contents(game.Path());
    NextShows(Page(), L"Error -- Nightjar file not found", PageId::frmStep8);
    EXPECT_EQ(Contents(game.Path()), before);
    ExpectNoShortcut();
}

TEST_F(LauncherPage, AnArchiveWithoutTheLauncherWritesNoShortcut) {
    WriteKit({{"Nightjar.htm", "help only"}, {"Turbo.EXE", "turbo"}});
    NextShows(Page(), L"Error -- Nightjar file not found", PageId::frmStep8);
    EXPECT_EQ(GameFile(L"Nightjar.htm"), "help only");
    EXPECT_FALSE(HasGameFile(L"Turbo.EXE"));
    ExpectNoShortcut();
}

TEST_F(LauncherPage, OfSeveralKitArchivesTakesTheFirstOrdinaryFileTheFolderLists) {
    WriteKit({{"Nightjar.exe", "from MendA"}}, L"MendA.zip");
    WriteKit({{"Nightjar.exe", "from mendB"}}, L"mendB.ZIP");
    WriteKit({{"Nightjar.exe", "from the hidden one"}}, L"Mend0hidden.zip");
    SetFileAttributesW((game / L"Mend0hidden.zip").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((game / L"Mend0folder.zip").c_str(), nullptr);
    // What the file system lists first among the ordinary files.
    std::string first;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((game / L"Mend*.zip").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY)) && first.empty())
            first = std::wstring(found.cFileName) == L"MendA.zip" ? "from MendA" : "from mendB";
    } while (FindNextFileW(search, &found));
    FindClose(search);
    ASSERT_TRUE(GetFileAttributesW((game / L"Mend0hidden.zip").c_str()) & FILE_ATTRIBUTE_HIDDEN)
        << "the file system keeps no hidden attribute here";

    NextShows(Page(), L"Nightjar.exe installed, shortcut to desktop created", PageId::frmStep8);
    EXPECT_EQ(GameFile(L"Nightjar.exe"), first);
}

TEST_F(LauncherPage, SkipTouchesNothing) {
    WriteKit(FullKit());
    wizard.State.StoreAnswers({1, 0, 1, 1});
    FolderContents before = Contents(game.Path());
    Page().Skip_Click();
    EXPECT_EQ(VisiblePage(), PageId::frmStep5);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Contents(game.Path()), before);
    ExpectNoShortcut();
}

} // namespace

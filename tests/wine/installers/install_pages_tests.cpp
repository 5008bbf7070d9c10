// The install pages' Next and Skip on real game folders, with kit archives written by the tests
// and extracted through the real vbuzip10.dll.
#include "common/text.h"
#include "page_test.h"
#include "support/process.h"
#include "win32/handle.h"

using namespace kittest;

namespace {

using InstallPages = PageTest;
const std::wstring kLauncherInstalled = L"Nightjar.exe installed, shortcut to desktop created";
const std::wstring kNoLauncher = L"Error -- Nightjar file not found";
const std::wstring kGf = L"Data\\gfprefs.dat", kMp = L"Data\\Multi\\mpprefs.dat";
const std::wstring kGfBackup = L"Data\\wgfprefs.bak", kMpBackup = L"Data\\Multi\\wmpprefs.bak";
const std::wstring kKept = L"Mendpack Backup\\";

TEST_F(InstallPages, LauncherPagePutsNightjarInTheGameFolderAndItsShortcutOnTheDesktop) {
    WriteKit(FullKit());
    wintest::WriteFile(LauncherShortcut(), "an older shortcut, replaced without a question");
    Press(PageId::frmStep3, L"Next", {kLauncherInstalled}, PageId::frmStep8);
    EXPECT_EQ(Contents(game.Path()), (FolderContents{{L"MendpackFiles.zip", MakeZip(FullKit())},
                                                     {L"Nightjar.exe", Payload("Nightjar.exe")},
                                                     {L"Nightjar.htm", Payload("Nightjar.htm")}}));
    const ShortcutFields link = ReadShortcut(LauncherShortcut());
    // Windows keeps the target as written; Wine gives the file's own case ("Nightjar.exe").
    EXPECT_EQ(mend::LowerAscii(link.target), mend::LowerAscii(game.Path() + L"\\Nightjar.EXE"));
    EXPECT_EQ(link.workingDirectory, game.Path());
    EXPECT_EQ(link.description, L"Nightjar");
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);
    // For the independent .lnk reader (check_shortcut.sh), with the game folder it must name.
    CopyFileW(LauncherShortcut().c_str(), (wintest::ProgramFolder() + L"\\installers-Nightjar.lnk").c_str(),
              FALSE);
    wintest::WriteFile(wintest::ProgramFolder() + L"\\installers-Nightjar.folder",
                       mend::Utf8FromWide(game.Path()));
}

TEST_F(InstallPages, LauncherPageTakesItsExactNamesWhereverTheArchiveKeepsThemAndNeedsTheLauncher) {
    const FolderContents notKits = {{L"Kit.zip", MakeZip(FullKit())},
                                    {L"MyMendpack.zip", MakeZip(FullKit())}};
    ExpectOutcomes(PageId::frmStep3, {{"inside folders",
                                       {{"Bin/Nightjar.exe", "launcher"}, {"Help/en/Nightjar.htm", "help"}},
                                       {},
                                       kLauncherInstalled,
                                       {{L"Nightjar.exe", "launcher"}, {L"Nightjar.htm", "help"}}},
                                      {"the launcher in other letter case",
                                       {{"nightjar.exe", "x"}, {"Nightjar.htm", "help"}},
                                       {},
                                       kNoLauncher,
                                       {{L"Nightjar.htm", "help"}}},
                                      {"no name matching Mend*.zip", {}, notKits, kNoLauncher, notKits}});
}

TEST_F(InstallPages, LauncherPageTakesTheFirstOrdinaryKitArchiveTheFolderLists) {
    for (const wchar_t *name : {L"MendA.zip", L"mendB.ZIP", L"Mend0hidden.zip"})
        wintest::WriteFile(game / name, MakeZip({{"Nightjar.exe", mend::Utf8FromWide(name)}}));
    ASSERT_TRUE(SetFileAttributesW((game / L"Mend0hidden.zip").c_str(), FILE_ATTRIBUTE_HIDDEN));
    wintest::MakeFolders(game / L"Mend0folder.zip");
    std::wstring first;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((game / L"Mend*.zip").c_str(), &found);
    do {
        if (first.empty() && !(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY)))
            first = found.cFileName;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    Press(PageId::frmStep3, L"Next", {kLauncherInstalled}, PageId::frmStep8);
    EXPECT_EQ(wintest::ReadFile(game / L"Nightjar.exe"), mend::Utf8FromWide(first));
}

TEST_F(InstallPages, LauncherPageReportsAShortcutItCannotSave) {
    WriteKit(FullKit());
    ASSERT_TRUE(CreateDirectoryW(LauncherShortcut().c_str(), nullptr)); // a folder where the shortcut goes
    Press(PageId::frmStep3, L"Next",
          {ErrorReport(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), L"save " + LauncherShortcut())},
          std::nullopt);
    RemoveDirectoryW(LauncherShortcut().c_str());
}

TEST_F(InstallPages, TurboPageNeedsTurboItselfAndKeepsThePlayersOwn) {
    const FolderContents kits = {{L"Turbo.EXE", Payload("Turbo.EXE")}, {L"Turbo.HLP", Payload("Turbo.HLP")}};
    FolderContents olderKept = kits,
                   readOnlyKept = {{L"Turbo.EXE", Payload("Turbo.EXE")}, {L"Turbo.HLP*", "mine"}};
    olderKept.insert({{kKept, ""}, {kKept + L"Turbo.EXE", "older"}});
    readOnlyKept.insert({{kKept, ""}, {kKept + L"Turbo.EXE", "older"}, {kKept + L"Turbo.HLP*", "mine"}});
    ExpectOutcomes(
        PageId::frmStep4,
        {{"the kit over an older Turbo", FullKit(), {{L"Turbo.EXE", "older"}}, L"Turbo installed", olderKept},
         {"the kit over its own Turbo", FullKit(), kits, L"Turbo installed", kits},
         // The library will not replace a read-only file, and says so.
         {"the kit over a read-only help file",
          FullKit(),
          {{L"Turbo.EXE", "older"}, {L"Turbo.HLP*", "mine"}},
          ErrorReport(1, L"extract Turbo.HLP"),
          readOnlyKept},
         {"Turbo in other letter case",
          {{"turbo.exe", "x"}, {"Turbo.HLP", "help"}},
          {},
          L"Error -- Turbo file not found",
          {{L"Turbo.HLP", "help"}}}});
}

TEST_F(InstallPages, EmulatorPagesReplaceAWritableGlide2xOnlyWithTheirOwnLibrary) {
    const std::string ini = Payload("OpenGLid.INI");
    for (PageId page : {PageId::frmStep5, PageId::frmStep6}) {
        const bool glideOS = page == PageId::frmStep6;
        const std::string member = glideOS ? "OS Glide2x.dll" : "dgvoodoo sync glide2x.dll";
        const std::wstring name = glideOS ? L"GlideOS" : L"dgvoodoo";
        const std::string other = Payload(glideOS ? "dgvoodoo sync glide2x.dll" : "OS Glide2x.dll");
        // GlideOS's settings file comes with it, even without the library; a player's own is kept
        // when GlideOS replaces it, and left alone by dgvoodoo.
        auto with = [&](FolderContents files, bool playersIni = false) {
            if (glideOS)
                files[L"OpenGLid.INI"] = ini;
            if (playersIni)
                files[glideOS ? kKept + L"OpenGLid.INI" : L"OpenGLid.INI"] = "mine";
            return files;
        };
        SCOPED_TRACE(member);
        ExpectOutcomes(
            page,
            {{"over the player's glide2x.dll and OpenGLid.INI",
              FullKit(),
              {{L"glide2x.dll", "old"}, {L"OpenGLid.INI", "mine"}},
              name + L" installed",
              with({{L"glide2x.dll", Payload(member)}, {kKept, ""}, {kKept + L"glide2x.dll", "old"}}, true)},
             {"over the other emulator's glide2x.dll",
              FullKit(),
              {{L"glide2x.dll", other}},
              name + L" installed",
              with({{L"glide2x.dll", Payload(member)}})},
             {"over a newer glide2x.dll of the player's, the first one kept already",
              FullKit(),
              {{L"glide2x.dll", "newer"}, {kKept + L"glide2x.dll", "old"}},
              name + L" installed",
              with({{L"glide2x.dll", Payload(member)}, {kKept, ""}, {kKept + L"glide2x.dll", "old"}})},
             {"the library in other letter case",
              {{glideOS ? "OS glide2x.dll" : "DGVoodoo sync glide2x.dll", "x"}, {"OpenGLid.INI", ini}},
              {{L"glide2x.dll", "old"}},
              L"Error -- " + name + L" file not found",
              with({{L"glide2x.dll", "old"}})},
             {"over a read-only glide2x.dll",
              FullKit(),
              {{L"glide2x.dll*", "old"}},
              ErrorReport(ERROR_ACCESS_DENIED, L"copy " + mend::WideFromUtf8(member) + L" to glide2x.dll"),
              with({{L"glide2x.dll*", "old"},
                    {mend::WideFromUtf8(member), Payload(member)},
                    {kKept, ""},
                    {kKept + L"glide2x.dll*", "old"}})}});
    }
}

TEST_F(InstallPages, PresetsPageBacksUpThePlayersFilesAndInstallsThePresetsOnlyWhenBothAreInTheKit) {
    const FolderContents folders = {{L"Data\\", ""}, {L"Data\\Multi\\", ""}};
    auto with = [&](FolderContents files) {
        files.insert(folders.begin(), folders.end());
        return files;
    };
    const FolderContents frozen = with(
        {{kGf + L"*", PlayerPrefs('s')}, {kMp + L"*", PlayerPrefs('m')}, {kGfBackup, "an older backup"}});
    const FolderContents presets = with({{kGf, Payload("gfprefs.dat")}, {kMp, Payload("mpprefs.dat")}});
    FolderContents backedUp = presets, frozenBackups = presets, singleBackup = presets;
    backedUp.insert({{kGfBackup, PlayerPrefs('s')}, {kMpBackup, PlayerPrefs('m')}});
    // A copy keeps the read-only mark; an existing backup is the player's from before the kit.
    frozenBackups.insert({{kGfBackup, "an older backup"}, {kMpBackup + L"*", PlayerPrefs('m')}});
    singleBackup[kGfBackup] = PlayerPrefs('s');
    const std::wstring done = L"Pre-configured GF preference files installed";
    const std::wstring missing = L"Error -- preference files not found";
    ExpectOutcomes(
        PageId::frmStep8,
        {{"the player's files", FullKit(), with({{kGf, PlayerPrefs('s')}, {kMp, PlayerPrefs('m')}}), done,
          backedUp},
         {"frozen files and an older backup", FullKit(), frozen, done, frozenBackups},
         {"only the single-player file", FullKit(), with({{kGf, PlayerPrefs('s')}}), done, singleBackup},
         {"no preference files", FullKit(), folders, done, presets},
         {"only the single-player preset",
          {{"gfprefs.dat", "x"}, {"MPPREFS.DAT", "x"}},
          frozen,
          missing,
          frozen},
         {"no kit archive", {}, frozen, missing, frozen},
         {"no Data\\Multi folder",
          FullKit(),
          {{kGf, PlayerPrefs('s')}},
          ErrorReport(ERROR_PATH_NOT_FOUND, L"copy mpprefs.dat to " + kMp),
          {{L"Data\\", ""}, {kGfBackup, PlayerPrefs('s')}, {kGf, Payload("gfprefs.dat")}}}});
}

TEST_F(InstallPages, PresetsPageNamesAPreferenceFileTheRunningGameHoldsAndLosesNothing) {
    WriteKit(FullKit());
    Put({{kGf, PlayerPrefs('s')}, {kMp, PlayerPrefs('m')}});
    const FolderContents before = Contents(game.Path());
    {
        wintest::ChildProcess running(wintest::ProgramFolder() + L"\\game_stand_in.exe",
                                      L"/hold " + (game / kMp), wintest::ProgramFolder());
        ASSERT_TRUE(wintest::WaitUntil([&] {
            win32::Handle file(CreateFileW((game / kMp).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
            return !file && GetLastError() == ERROR_SHARING_VIOLATION;
        })) << "the game holds its preference file";
        Press(PageId::frmStep8, L"Next",
              {ErrorReport(ERROR_SHARING_VIOLATION, L"copy " + kMp + L" to " + kMpBackup)}, std::nullopt);
    }
    FolderContents backedUp = before;
    backedUp[kGfBackup] = PlayerPrefs('s');
    EXPECT_EQ(Contents(game.Path()), backedUp);
    NewRun();
    Press(PageId::frmUninstall, L"Next", {L"Mendpack programs uninstalled"}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);
}

TEST_F(InstallPages, SkipOnEveryPageGoesWhereNextWouldAndTouchesNothing) {
    WriteKit(FullKit());
    Put({{kGf + L"*", PlayerPrefs('s')}, {kGfBackup, "backup"}, {L"glide2x.dll", "old"}});
    const FolderContents before = Contents(game.Path());
    for (const wizard::Answers &answers : {wizard::Answers{1, 1, 1, 1}, wizard::Answers{0, 0, 0, 1}}) {
        wizard->State.StoreAnswers(answers);
        for (PageId id :
             {PageId::frmStep3, PageId::frmStep4, PageId::frmStep5, PageId::frmStep6, PageId::frmStep8})
            Press(id, L"Skip", {}, wizard::NextPage(id, answers));
    }
    EXPECT_EQ(Contents(game.Path()), before);
    EXPECT_FALSE(wintest::Exists(LauncherShortcut()));
}

// The game folder on the small file system of the run (small_disk.sh), when there is one.
std::wstring SmallDisk() {
    const std::wstring disk = wintest::ProgramFolder() + L"\\..\\small-disk";
    ULARGE_INTEGER total{};
    const bool small =
        GetDiskFreeSpaceExW(disk.c_str(), nullptr, &total, nullptr) && total.QuadPart < (8u << 20);
    return small ? disk : std::wstring();
}
class FullDisk : public PageTest {
  protected:
    FullDisk() : PageTest(SmallDisk()) {}
    void SetUp() override {
        if (SmallDisk().empty())
            GTEST_SKIP() << "no small file system mounted for this run (small_disk.sh needs root)";
    }
};

TEST_F(FullDisk, EveryPageSaysWhatFailedAndWhyAndTheUninstallLeavesThePlayersFiles) {
    WriteKit(FullKit());
    Put({{kGf, PlayerPrefs('s')}, {kMp, PlayerPrefs('m')}, {L"glide2x.dll", "the player's own"}});
    const FolderContents before = Contents(game.Path());
    const std::wstring filler = SmallDisk() + L"\\filler";
    {
        win32::Handle file(CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const std::string block(4096, 'f');
        DWORD written = 0;
        while (WriteFile(file.Get(), block.data(), 4096, &written, nullptr) && written == 4096) {
        }
    }
    const std::pair<PageId, std::wstring> failures[] = {
        {PageId::frmStep3, ErrorReport(1, L"extract Nightjar.exe")},
        {PageId::frmStep4, ErrorReport(1, L"extract Turbo.EXE")},
        {PageId::frmStep5, ErrorReport(ERROR_DISK_FULL, L"copy glide2x.dll to Mendpack Backup\\glide2x.dll")},
        {PageId::frmStep8, ErrorReport(1, L"extract gfprefs.dat")}};
    for (const auto &[page, report] : failures) {
        Press(page, L"Next", {report}, std::nullopt);
        EXPECT_EQ(Contents(game.Path()), before);
    }
    DeleteFileW(filler.c_str());
    NewRun();
    Press(PageId::frmUninstall, L"Next", {L"Mendpack programs uninstalled"}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);
}

} // namespace

// The install pages and the uninstall page on real game folders, with kit archives written by the
// tests and extracted through the real vbuzip10.dll.
#include "page_test.h"
#include "support/process.h"
#include "win32/handle.h"

using namespace kittest;

namespace {

using InstallPages = PageTest;
const std::wstring kLauncherInstalled = L"Nightjar.exe installed, shortcut to desktop created";
const std::wstring kNoLauncher = L"Error -- Nightjar file not found",
                   kUninstalled = L"Mendpack programs uninstalled";
const std::wstring kGf = L"Data\\gfprefs.dat", kMp = L"Data\\Multi\\mpprefs.dat";
const std::wstring kGfBackup = L"Data\\wgfprefs.bak", kMpBackup = L"Data\\Multi\\wmpprefs.bak";
const std::string kPlayerGf = "Data\\gfprefs.dat=" + PlayerPrefs('s'),
                  kPlayerMp = "Data\\Multi\\mpprefs.dat=" + PlayerPrefs('m');

TEST_F(InstallPages, LauncherPageTakesItsExactNamesFromTheFirstKitArchiveAndNeedsTheLauncher) {
    const FolderContents notKits =
        Files("Kit.zip=" + ziptest::Build(FullKit()), "MyMendpack.zip=" + ziptest::Build(FullKit()));
    const FolderContents other =
        Files("Mend0folder.zip\\", "mendA.ZIP=" + ziptest::Build(Kit("Nightjar.exe=A")));
    FolderContents fromOther = other;
    fromOther[L"Nightjar.exe"] = "A";
    ExpectOutcomes(
        PageId::frmStep3,
        {{"inside folders",
          Kit("Bin/Nightjar.exe=launcher", "Help/en/Nightjar.htm=help"),
          {},
          kLauncherInstalled,
          Files("Nightjar.exe=launcher", "Nightjar.htm=help")},
         {"another name matching Mend*.zip beside a folder", {}, other, kLauncherInstalled, fromOther},
         {"the launcher in other letter case",
          Kit("nightjar.exe=x", "Nightjar.htm=help"),
          {},
          kNoLauncher,
          Files("Nightjar.htm=help")},
         {"no name matching Mend*.zip", {}, notKits, kNoLauncher, notKits}});
}

TEST_F(InstallPages, LauncherPageReportsAShortcutItCannotSave) {
    WriteKit(FullKit());
    ASSERT_TRUE(CreateDirectoryW(LauncherShortcut().c_str(), nullptr)); // a folder where the shortcut goes
    Press(PageId::frmStep3, L"Next",
          {ErrorReport(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), L"save " + LauncherShortcut())},
          std::nullopt);
    RemoveDirectoryW(LauncherShortcut().c_str());
}

// The library will not replace a read-only file, and says so; the player's files stay kept.
TEST_F(InstallPages, TurboPageNeedsTurboItselfAndKeepsThePlayersOwn) {
    ExpectOutcomes(PageId::frmStep4,
                   {{"the kit over a read-only help file", FullKit(),
                     Files("Turbo.EXE=older", "Turbo.HLP*=mine"), ErrorReport(1, L"extract Turbo.HLP"),
                     Files("Turbo.EXE=" + Payload("Turbo.EXE"), "Turbo.HLP*=mine",
                           "Mendpack Backup\\Turbo.EXE=older", "Mendpack Backup\\Turbo.HLP*=mine")},
                    {"Turbo in other letter case",
                     Kit("turbo.exe=x", "Turbo.HLP=help"),
                     {},
                     L"Error -- Turbo file not found",
                     Files("Turbo.HLP=help")}});
}

// GlideOS's settings file comes with it, even without the library; a player's own is kept when
// GlideOS replaces it, and left alone by dgvoodoo. The other emulator's library is the kit's own.
TEST_F(InstallPages, EmulatorPagesReplaceAWritableGlide2xOnlyWithTheirOwnLibrary) {
    for (PageId page : {PageId::frmStep5, PageId::frmStep6}) {
        const bool glideOS = page == PageId::frmStep6;
        const std::string member = glideOS ? "OS Glide2x.dll" : "dgvoodoo sync glide2x.dll";
        const std::string other = glideOS ? "dgvoodoo sync glide2x.dll" : "OS Glide2x.dll";
        const std::wstring name = glideOS ? L"GlideOS" : L"dgvoodoo";
        const std::string ours = "glide2x.dll=" + Payload(member);
        auto with = [&](FolderContents files) {
            if (glideOS)
                files[L"OpenGLid.INI"] = Payload("OpenGLid.INI");
            return files;
        };
        SCOPED_TRACE(member);
        ExpectOutcomes(
            page,
            {{"over the player's glide2x.dll and OpenGLid.INI", FullKit(),
              Files("glide2x.dll=old", "OpenGLid.INI=mine"), name + L" installed",
              with(Files(ours, "Mendpack Backup\\glide2x.dll=old",
                         glideOS ? "Mendpack Backup\\OpenGLid.INI=mine" : "OpenGLid.INI=mine"))},
             {"over the other emulator's glide2x.dll", FullKit(), Files("glide2x.dll=" + Payload(other)),
              name + L" installed", with(Files(ours))},
             {"the library in other letter case",
              Kit(glideOS ? "OS glide2x.dll=x" : "DGVoodoo sync glide2x.dll=x",
                  "OpenGLid.INI=" + Payload("OpenGLid.INI")),
              Files("glide2x.dll=old"), L"Error -- " + name + L" file not found",
              with(Files("glide2x.dll=old"))},
             {"over a read-only glide2x.dll", FullKit(), Files("glide2x.dll*=old"),
              ErrorReport(ERROR_ACCESS_DENIED, L"copy " + mend::WideFromUtf8(member) + L" to glide2x.dll"),
              with(Files("glide2x.dll*=old", member + "=" + Payload(member),
                         "Mendpack Backup\\glide2x.dll*=old"))}});
    }
}

// A copy keeps the read-only mark; an existing backup is the player's from before the kit.
TEST_F(InstallPages, PresetsPageBacksUpThePlayersFilesAndInstallsThePresetsOnlyWhenBothAreInTheKit) {
    const std::string gf = "Data\\gfprefs.dat=" + Payload("gfprefs.dat"),
                      mp = "Data\\Multi\\mpprefs.dat=" + Payload("mpprefs.dat");
    const FolderContents frozen =
        Files("Data\\gfprefs.dat*=" + PlayerPrefs('s'), "Data\\Multi\\mpprefs.dat*=" + PlayerPrefs('m'),
              "Data\\wgfprefs.bak=an older backup");
    const std::wstring done = L"Pre-configured GF preference files installed";
    const std::wstring missing = L"Error -- preference files not found";
    ExpectOutcomes(
        PageId::frmStep8,
        {{"the player's files", FullKit(), Files(kPlayerGf, kPlayerMp), done,
          Files(gf, mp, "Data\\wgfprefs.bak=" + PlayerPrefs('s'),
                "Data\\Multi\\wmpprefs.bak=" + PlayerPrefs('m'))},
         {"frozen files and an older backup", FullKit(), frozen, done,
          Files(gf, mp, "Data\\wgfprefs.bak=an older backup",
                "Data\\Multi\\wmpprefs.bak*=" + PlayerPrefs('m'))},
         {"no preference files", FullKit(), Files("Data\\Multi\\"), done, Files(gf, mp)},
         {"only the single-player preset", Kit("gfprefs.dat=x", "MPPREFS.DAT=x"), frozen, missing, frozen},
         {"no kit archive", {}, frozen, missing, frozen},
         {"no Data\\Multi folder", FullKit(), Files(kPlayerGf),
          ErrorReport(ERROR_PATH_NOT_FOUND, L"copy mpprefs.dat to " + kMp),
          Files(gf, "Data\\wgfprefs.bak=" + PlayerPrefs('s'))}});
}

// The player's own files come back with their attributes and the kit's own go, read-only (frozen by
// the launcher) or not; a file of the player's that no page replaced (nothing kept of it) is no kit
// file and stays; the folder as the uninstall left it is left alone by a second run.
TEST_F(InstallPages, UninstallRestoresBackupsAndKeptFilesAndRemovesOnlyTheKitsOwn) {
    const std::string untouched[] = {"OpenGLid.INI=the player's, never replaced",
                                     "Mendpack Backup\\notes.txt=the player's own",
                                     "gfprefs.dat=not the kit's"};
    const FolderContents restored = Files(kPlayerGf, kPlayerMp, "Turbo.EXE*=the player's Turbo", untouched[0],
                                          untouched[1], untouched[2]);
    const FolderContents installed =
        Files("Data\\wgfprefs.bak=" + PlayerPrefs('s'), "Data\\gfprefs.dat=" + Payload("gfprefs.dat"),
              "Data\\Multi\\wmpprefs.bak=" + PlayerPrefs('m'),
              "Data\\Multi\\mpprefs.dat*=" + Payload("mpprefs.dat"),
              "glide2x.dll*=" + Payload("dgvoodoo sync glide2x.dll"),
              "Nightjar.exe=" + Payload("Nightjar.exe"), "Nightjar.htm=" + Payload("Nightjar.htm"),
              "Turbo.EXE=" + Payload("Turbo.EXE"), "Turbo.HLP*=" + Payload("Turbo.HLP"),
              "Mendpack Backup\\Turbo.EXE*=the player's Turbo", untouched[0], untouched[1], untouched[2]);
    ExpectOutcomes(PageId::frmUninstall, {{"after every page", FullKit(), installed, kUninstalled, restored},
                                          {"a second time", FullKit(), restored, kUninstalled, restored}});
}

TEST_F(InstallPages, PresetsPageNamesAPreferenceFileTheRunningGameHoldsAndLosesNothing) {
    WriteKit(FullKit());
    Put({{kGf, PlayerPrefs('s')}, {kMp, PlayerPrefs('m')}});
    const FolderContents before = Contents(game.Path());
    {
        wintest::ChildProcess running(wintest::ProgramFolder() + L"\\game_stand_in.exe",
                                      L"/hold " + (game / kMp), wintest::ProgramFolder());
        ASSERT_TRUE(wintest::WaitUntil(
            [&] {
                win32::Handle file(CreateFileW((game / kMp).c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
                return !file && GetLastError() == ERROR_SHARING_VIOLATION;
            },
            60000))
            << "the game holds its preference file";
        Press(PageId::frmStep8, L"Next",
              {ErrorReport(ERROR_SHARING_VIOLATION, L"copy " + kMp + L" to " + kMpBackup)}, std::nullopt);
    }
    FolderContents backedUp = before;
    backedUp[kGfBackup] = PlayerPrefs('s');
    EXPECT_EQ(Contents(game.Path()), backedUp);
    NewRun();
    Press(PageId::frmUninstall, L"Next", {kUninstalled}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);
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
    Press(PageId::frmUninstall, L"Next", {kUninstalled}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);
}

} // namespace

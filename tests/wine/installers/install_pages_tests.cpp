// The install pages' Next and Skip on real game folders, with kit archives written by the tests
// and extracted through the real vbuzip10.dll.
#include "common/text.h"
#include "page_test.h"

using namespace kittest;

namespace {

using InstallPages = PageTest;
const std::wstring kLauncherInstalled = L"Nightjar.exe installed, shortcut to desktop created";
const std::wstring kNoLauncher = L"Error -- Nightjar file not found";
const std::wstring kGf = L"Data\\gfprefs.dat", kMp = L"Data\\Multi\\mpprefs.dat";
const std::wstring kGfBackup = L"Data\\wgfprefs.bak", kMpBackup = L"Data\\Multi\\wmpprefs.bak";

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
    Press(PageId::frmStep3, L"Next", {ErrorReport(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED))}, std::nullopt);
    RemoveDirectoryW(LauncherShortcut().c_str());
}

TEST_F(InstallPages, TurboPageNeedsTurboItself) {
    ExpectOutcomes(PageId::frmStep4,
                   {{"the kit over an older Turbo",
                     FullKit(),
                     {{L"Turbo.EXE", "older"}},
                     L"Turbo installed",
                     {{L"Turbo.EXE", Payload("Turbo.EXE")}, {L"Turbo.HLP", Payload("Turbo.HLP")}}},
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
        // GlideOS's settings file comes with it, even without the library.
        auto with = [&](FolderContents files) {
            if (glideOS)
                files[L"OpenGLid.INI"] = ini;
            return files;
        };
        SCOPED_TRACE(member);
        ExpectOutcomes(
            page, {{"over a writable glide2x.dll",
                    FullKit(),
                    {{L"glide2x.dll", "old"}},
                    name + L" installed",
                    with({{L"glide2x.dll", Payload(member)}})},
                   {"the library in other letter case",
                    {{glideOS ? "OS glide2x.dll" : "DGVoodoo sync glide2x.dll", "x"}, {"OpenGLid.INI", ini}},
                    {{L"glide2x.dll", "old"}},
                    L"Error -- " + name + L" file not found",
                    with({{L"glide2x.dll", "old"}})},
                   {"over a read-only glide2x.dll",
                    FullKit(),
                    {{L"glide2x.dll*", "old"}},
                    ErrorReport(ERROR_ACCESS_DENIED),
                    with({{L"glide2x.dll*", "old"}, {mend::WideFromUtf8(member), Payload(member)}})}});
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
          ErrorReport(ERROR_PATH_NOT_FOUND),
          {{L"Data\\", ""},
           {kGfBackup, PlayerPrefs('s')},
           {kGf, Payload("gfprefs.dat")},
           {L"mpprefs.dat", Payload("mpprefs.dat")}}}});
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

} // namespace

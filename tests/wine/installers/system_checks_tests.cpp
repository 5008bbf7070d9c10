// frmStep1's checks on real game folders, the real registry and real kit archives.
#include "page_test.h"
#include "support/process.h"

using namespace kittest;

namespace {

using Step1Checks = PageTest;

// Display adapters, by maker, in the PCI list that this process's Windows version reads: Wine
// answers as Windows 10 unless told otherwise, and that version's list, "Enum\PCI", is the test's own.
struct PciDisplays {
    explicit PciDisplays(const std::vector<std::wstring> &makers) {
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI");
        for (size_t i = 0; i < makers.size(); ++i) {
            const std::wstring key = L"Enum\\PCI\\VEN_" + std::to_wstring(i) + L"\\instance";
            for (const auto &[name, text] :
                 {std::pair(L"Class", std::wstring(L"Display")), std::pair(L"Mfg", makers[i])})
                EXPECT_EQ(SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, text.c_str(),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                          ERROR_SUCCESS);
        }
    }
    ~PciDisplays() { SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI"); }
};

// A folder without the game ends the wizard after the registry is read; in the game folder, the
// missing patch comes out of the kit and starts on every run until its readme is there.
TEST_F(Step1Checks, TheGameThePatchAndTheVideoChipComeBeforeTheQuestions) {
    const std::wstring patchMessage =
        L"Please click OK to install the GF3D 1078 patch, then continue with this "
        L"wizard after 1078 completes.";
    PciDisplays pci({L"nVidia Corporation"});
    WriteKit(FullKit());
    const FolderContents kitOnly = Contents(game.Path());
    Press(PageId::frmStep1, L"Next",
          {L"Please install GF3D, or if it is installed, unzip and run the Mendpack wizard from your "
           L"GaleFalcon3D folder."},
          std::nullopt);
    EXPECT_EQ(wizard->State.VideoMfg, L"nvidia corporation");
    EXPECT_EQ(Contents(game.Path()), kitOnly);

    // A kit without the patch (its name in other letter case is another name) spills nothing.
    Put({{L"falcon.exe", "game"}});
    WriteKit({{"gf3d1078.exe", "x"}, {"Nightjar.exe", "launcher"}});
    NewRun();
    const FolderContents before = Contents(game.Path());
    Press(PageId::frmStep1, L"Next", {patchMessage, ErrorReport(ERROR_FILE_NOT_FOUND, L"start GF3D1078.EXE")},
          std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);

    // The patch program is played by the game stand-in, which logs every start.
    const std::string patch = wintest::ReadFile(wintest::ProgramFolder() + L"\\game_stand_in.exe");
    WriteKit({{"gf3d1078.exe", "x"}, {"Nightjar.exe", "launcher"}, {"GF3D1078.EXE", patch}});
    const std::string start = "GF3D1078.EXE|\r\n";
    for (size_t run = 1; run <= 2; ++run) {
        NewRun();
        Press(PageId::frmStep1, L"Next", {patchMessage}, PageId::frmStep2);
        EXPECT_TRUE(wintest::WaitUntil([&] {
            return wintest::Exists(game / L"launches.txt") &&
                   wintest::ReadFile(game / L"launches.txt").size() == run * start.size();
        })) << "run "
            << run;
    }
    EXPECT_EQ(wintest::ReadFile(game / L"launches.txt"), start + start);
    EXPECT_EQ(wintest::List(game.Path()), (std::vector<std::wstring>{L"GF3D1078.EXE", L"MendpackFiles.zip",
                                                                     L"falcon.exe", L"launches.txt"}));
    EXPECT_EQ(wintest::ReadFile(game / L"GF3D1078.EXE"), patch);

    Put({{L"1078patch Readme .txt", "the patch is in"}});
    NewRun();
    Press(PageId::frmStep1, L"Next", {}, PageId::frmStep2);
    const wizard::Page &questions = *wizard->Find(PageId::frmStep2);
    EXPECT_TRUE(questions.IsChecked(L"chkNVidia"));
    // Windows 10 has no name in the version table, so Windows XP is not pre-ticked.
    EXPECT_EQ(wizard->State.WinVersion, L"");
    EXPECT_FALSE(questions.IsChecked(L"chkWinXP") || questions.IsChecked(L"chkCPUspeed") ||
                 questions.IsChecked(L"chkVideoMem"));
}

} // namespace

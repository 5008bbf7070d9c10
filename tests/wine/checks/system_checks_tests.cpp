// frmStep1's checks on real game folders, the real registry and real kit archives.
#include "page_test.h"
#include "support/process.h"

using namespace kittest;

namespace {

using Step1Checks = PageTest;
const std::wstring kPatchMessage =
    L"Please click OK to install the GF3D 1078 patch, then continue with this wizard after 1078 completes.";

// Devices under the PCI list that this process's Windows version reads: Wine answers as Windows 10
// unless told otherwise, and that version's list, "Enum\PCI", is the test's own.
using Devices = std::vector<std::pair<std::wstring, std::wstring>>; // class and maker

class PciDevices {
  public:
    explicit PciDevices(const Devices &classAndMaker = {}) {
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI");
        for (size_t i = 0; i < classAndMaker.size(); ++i) {
            const std::wstring key = L"Enum\\PCI\\VEN_" + std::to_wstring(i) + L"\\instance";
            for (const auto &[name, text] :
                 {std::pair(L"Class", classAndMaker[i].first), std::pair(L"Mfg", classAndMaker[i].second)})
                EXPECT_EQ(SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, text.c_str(),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                          ERROR_SUCCESS);
        }
    }
    ~PciDevices() { SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI"); }
};

TEST_F(Step1Checks, AFolderWithoutTheGameEndsTheWizardAfterReadingTheRegistry) {
    PciDevices pci(Devices{{L"Display", L"NVIDIA"}});
    WriteKit(FullKit());
    const FolderContents before = Contents(game.Path());
    Press(PageId::frmStep1, L"Next",
          {L"Please install GF3D, or if it is installed, unzip and run the Mendpack wizard from your "
           L"GaleFalcon3D "
           L"folder."},
          std::nullopt);
    EXPECT_EQ(wizard->State.VideoMfg, L"nvidia");
    EXPECT_EQ(Contents(game.Path()), before);
}

TEST_F(Step1Checks, TheMissingPatchComesOutOfTheKitAndStartsOnEveryRunUntilItsReadmeExists) {
    PciDevices pci;
    // A kit without the patch (its name in other letter case is another name) spills nothing.
    Put({{L"falcon.exe", "game"}});
    WriteKit({{"gf3d1078.exe", "x"}, {"Nightjar.exe", "launcher"}});
    const FolderContents before = Contents(game.Path());
    Press(PageId::frmStep1, L"Next",
          {kPatchMessage, ErrorReport(ERROR_FILE_NOT_FOUND, L"start GF3D1078.EXE")}, std::nullopt);
    EXPECT_EQ(Contents(game.Path()), before);

    // The patch program is played by the game stand-in, which logs every start.
    const std::string patch = wintest::ReadFile(wintest::ProgramFolder() + L"\\game_stand_in.exe");
    WriteKit({{"gf3d1078.exe", "x"}, {"Nightjar.exe", "launcher"}, {"GF3D1078.EXE", patch}});
    const std::string start = "GF3D1078.EXE|\r\n";
    for (int run = 1; run <= 2; ++run) {
        NewRun();
        Press(PageId::frmStep1, L"Next", {kPatchMessage}, PageId::frmStep2);
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
}

TEST_F(Step1Checks, TheQuestionsPageOpensWithWhatTheChecksFound) {
    Put({{L"falcon.exe", "game"}, {L"1078patch Readme .txt", "patched"}});
    struct Case {
        Devices devices; // in enumeration order
        bool nvidia;
    };
    const Case cases[] = {
        {{{L"Display", L"nVidia Corporation"}}, true},
        {{{L"DISPLAY", L"NVIDIA"}, {L"display", L""}}, false}, // the last adapter wins, even without a maker
        {{{L"MEDIA", L"NVIDIA"}}, false},                      // a sound device is no display adapter
        {{}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.devices.size());
        PciDevices pci(c.devices);
        NewRun();
        Press(PageId::frmStep1, L"Next", {}, PageId::frmStep2);
        const wizard::Page &questions = *wizard->Find(PageId::frmStep2);
        EXPECT_EQ(questions.IsChecked(L"chkNVidia"), c.nvidia);
        // Windows 10 has no name in the version table, so Windows XP is not pre-ticked.
        EXPECT_EQ(wizard->State.WinVersion, L"");
        EXPECT_FALSE(questions.IsChecked(L"chkWinXP") || questions.IsChecked(L"chkCPUspeed") ||
                     questions.IsChecked(L"chkVideoMem"));
    }
}

} // namespace

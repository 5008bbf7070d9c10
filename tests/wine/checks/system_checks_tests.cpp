// frmStep1's checks on real game folders, the real registry and a real kit archive.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include "support/process.h"
#include "support/temp_folder.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"
#include "win32/handle.h"
#include "zip_builder.h"

using namespace wintest;
using wizard::PageId;

namespace {

const std::wstring kNotTheGameFolder =
    L"Please install GF3D, or if it is installed, unzip and run the Mendpack wizard from your GaleFalcon3D folder.";
const std::wstring kPatchMessage =
    L"Please click OK to install the GF3D 1078 patch, then continue with this wizard after 1078 completes.";

// A display adapter under the PCI list that this process's Windows version reads. Wine answers as
// Windows 10 unless told otherwise, and that version's list key is "Enum\PCI", which the test owns
// whole (the real tree under SYSTEM\CurrentControlSet stays untouched).
class PciDevices {
public:
    PciDevices() { SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI"); }
    ~PciDevices() { SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI"); }
    void Add(const std::wstring& device, const std::wstring& cls, const std::wstring& mfg) {
        win32::RegKey key;
        std::wstring path = L"Enum\\PCI\\" + device + L"\\instance";
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key.Receive(), nullptr),
                  ERROR_SUCCESS);
        auto set = [&](const wchar_t* name, const std::wstring& text) {
            RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        };
        set(L"Class", cls);
        set(L"Mfg", mfg);
    }
};

// One run of the wizard in this process, in a game folder, up to leaving frmStep1.
struct WizardRun {
    explicit WizardRun(const std::wstring& folder) : cd(folder) {
        wizard.SetMessageSink([this](HWND, const std::wstring& text) {
            messages.push_back(text);
            makerWhenShown.push_back(wizard.State.VideoMfg);
        });
        step1 = static_cast<wizard::frmStep1*>(&wizard.Show(PageId::frmStep1));
    }
    // Leaves frmStep1 on the install path; false when the program ended instead.
    bool Next() {
        try {
            step1->Next_Click();
            return true;
        } catch (const wizard::EndOfProgram&) {
            return false;
        }
    }
    CurrentDirectory cd;
    wizard::Wizard wizard;
    wizard::frmStep1* step1 = nullptr;
    std::vector<std::wstring> messages, makerWhenShown;
};

std::string StandInProgram() { return ReadFile(ProgramFolder() + L"\\game_stand_in.exe"); }

std::string KitArchive(bool withPatch) {
    std::vector<ziptest::Member> members = {{"Nightjar.exe", "launcher"}, {"gf3d1078.exe", "wrong case"},
                                            {"gfprefs.dat", std::string(100, 'p')}};
    if (withPatch) members.push_back({"GF3D1078.EXE", StandInProgram()});
    return ziptest::Build(members);
}

int Launches(const std::wstring& folder) {
    if (!Exists(folder + L"\\launches.txt")) return 0;
    std::string log = ReadFile(folder + L"\\launches.txt");
    int n = 0;
    for (size_t at = log.find("GF3D1078.EXE|"); at != std::string::npos; at = log.find("GF3D1078.EXE|", at + 1)) ++n;
    return n;
}

}  // namespace

TEST(SystemChecks, AFolderWithoutTheGameEndsTheWizardAfterReadingTheRegistry) {
    PciDevices pci;
    pci.Add(L"VEN_10DE&DEV_0001", L"Display", L"NVIDIA");
    TempFolder folder(L"nogame");
    WriteFile(folder / L"MendpackFiles.zip", KitArchive(true));
    std::vector<std::wstring> before = List(folder.Path());

    WizardRun run(folder.Path());
    EXPECT_FALSE(run.Next()) << "the wizard must end";
    ASSERT_EQ(run.messages, std::vector<std::wstring>{kNotTheGameFolder});
    EXPECT_EQ(run.makerWhenShown[0], L"nvidia") << "the registry is read before the game check";
    EXPECT_EQ(List(folder.Path()), before) << "nothing is touched";
    EXPECT_FALSE(run.wizard.Find(PageId::frmStep2));
}

TEST(SystemChecks, AMissingPatchIsExtractedAndStartedOnEveryRunUntilItsReadmeExists) {
    PciDevices pci;
    TempFolder folder(L"patch");
    WriteFile(folder / L"falcon.exe", "game");
    WriteFile(folder / L"MendpackFiles.zip", KitArchive(true));

    for (int run = 1; run <= 2; ++run) {
        WizardRun r(folder.Path());
        ASSERT_TRUE(r.Next());
        EXPECT_EQ(r.messages, std::vector<std::wstring>{kPatchMessage});
        EXPECT_TRUE(WaitUntil([&] { return Launches(folder.Path()) == run; })) << "run " << run;
        EXPECT_TRUE(r.wizard.Find(PageId::frmStep2) && IsWindowVisible(r.wizard.Find(PageId::frmStep2)->Hwnd()));
        EXPECT_FALSE(IsWindowVisible(r.step1->Hwnd()));
    }
    // Only the patch program came out of the kit archive: names are compared exactly.
    EXPECT_EQ(ReadFile(folder / L"GF3D1078.EXE"), StandInProgram());
    EXPECT_FALSE(Exists(folder / L"Nightjar.exe"));
    EXPECT_FALSE(Exists(folder / L"gfprefs.dat"));

    WriteFile(folder / L"1078patch Readme .txt", "the patch is in");
    WizardRun done(folder.Path());
    ASSERT_TRUE(done.Next());
    EXPECT_TRUE(done.messages.empty());
    Sleep(0);
    EXPECT_EQ(Launches(folder.Path()), 2);
}

TEST(SystemChecks, AKitWithoutThePatchExtractsNothingAndTheFailedStartIsAnError) {
    PciDevices pci;
    TempFolder folder(L"nopatch");
    WriteFile(folder / L"falcon.exe", "game");
    WriteFile(folder / L"MendpackFiles.zip", KitArchive(false));
    std::vector<std::wstring> before = List(folder.Path());

    WizardRun run(folder.Path());
    try {
        run.Next();
        FAIL() << "starting a missing patch program must fail";
    } catch (const mend::Error& e) {
        EXPECT_EQ(e.Number(), ERROR_FILE_NOT_FOUND);
        EXPECT_FALSE(e.Description().empty());
    }
    EXPECT_EQ(run.messages, std::vector<std::wstring>{kPatchMessage});
    EXPECT_EQ(List(folder.Path()), before) << "no kit file spilled into the game folder";
}

TEST(SystemChecks, TheQuestionsPageOpensWithWhatTheChecksFound) {
    struct Case {
        std::vector<std::pair<std::wstring, std::wstring>> adapters;  // class, maker, in enumeration order
        bool nvidiaTicked;
    };
    const Case cases[] = {
        {{{L"Display", L"nVidia Corporation"}}, true},
        {{{L"DISPLAY", L"NVIDIA"}, {L"display", L""}}, false},  // the last adapter wins, even without a maker
        {{{L"MEDIA", L"NVIDIA"}}, false},                        // a sound device is no display adapter
        {{}, false},
    };
    for (const Case& c : cases) {
        PciDevices pci;
        int n = 0;
        for (const auto& [cls, mfg] : c.adapters) pci.Add(L"VEN_" + std::to_wstring(++n), cls, mfg);
        TempFolder folder(L"ticks");
        WriteFile(folder / L"falcon.exe", "game");
        WriteFile(folder / L"1078patch Readme .txt", "patched");
        WizardRun run(folder.Path());
        ASSERT_TRUE(run.Next());
        auto* step2 = run.wizard.Find(PageId::frmStep2);
        ASSERT_TRUE(step2);
        EXPECT_EQ(step2->IsChecked(L"chkNVidia"), c.nvidiaTicked) << "case " << n;
        // This process runs as Windows 10, which has no name in the table: XP is not pre-ticked.
        EXPECT_FALSE(step2->IsChecked(L"chkWinXP"));
        EXPECT_FALSE(step2->IsChecked(L"chkCPUspeed"));
        EXPECT_FALSE(step2->IsChecked(L"chkVideoMem"));
        EXPECT_EQ(run.wizard.State.WinVersion, L"");
    }
}

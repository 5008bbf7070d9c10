// The Turbo page (frmStep4) and the Glide emulator pages (frmStep5 dgvoodoo, frmStep6 GlideOS).
#include "page_test.h"

using namespace kittest;
using wizard::PageId;

namespace {

class TurboPage : public PageTest {
  protected:
    wizard::frmStep4 &Page() { return Show<wizard::frmStep4>(PageId::frmStep4); }
};

TEST_F(TurboPage, InstallsTurboAndItsHelpWithANewReaderEachPress) {
    WriteKit(FullKit());
    WriteGameFile(L"Turbo.EXE", "an older Turbo");
    wizard.State.StoreAnswers({0, 1, 1, 1});
    auto fso = std::make_shared<wizard::FileSystemObject>();
    wizard.State.Fso = fso;
    auto &page = Page();
    EXPECT_EQ(page.m_cUnzip, nullptr);

    NextShows(page, L"Turbo installed", PageId::frmStep5);
    FolderContents expected = {{L"MendpackFiles.zip", MakeZip(FullKit())},
                               {L"Turbo.EXE", Payload("Turbo.EXE")},
                               {L"Turbo.HLP", Payload("Turbo.HLP")}};
    EXPECT_EQ(Contents(game.Path()), expected);
    EXPECT_EQ(wizard.State.Fso, fso) << "the Turbo page leaves the shared file-system object alone";

    ASSERT_NE(page.m_cUnzip, nullptr);
    const cUnzip *first = page.m_cUnzip.get();
    EXPECT_EQ(page.m_cUnzip->FileCount(), static_cast<int32_t>(FullKit().size()));
    page.Next_Click();
    EXPECT_NE(page.m_cUnzip.get(), first);
    EXPECT_EQ(page.m_cUnzip->FileCount(), static_cast<int32_t>(FullKit().size())) << "listed once, not twice";
}

TEST_F(TurboPage, SaysSoWhenTheArchiveHasNoTurbo) {
    WriteKit({{"turbo.exe", "wrong case"}, {"Turbo.HLP", "help"}});
    NextShows(Page(), L"Error -- Turbo file not found", PageId::frmStep8);
    EXPECT_EQ(wintest::List(game.Path()), (std::vector<std::wstring>{L"MendpackFiles.zip", L"Turbo.HLP"}));

    ::DeleteFileW((game / L"MendpackFiles.zip").c_str());
    NextShows(Page(), L"Error -- Turbo file not found", PageId::frmStep8);
}

TEST_F(TurboPage, SkipTouchesNothing) {
    WriteKit(FullKit());
    wizard.State.StoreAnswers({0, 1, 0, 1});
    FolderContents before = Contents(game.Path());
    Page().Skip_Click();
    EXPECT_EQ(VisiblePage(), PageId::frmStep6);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Contents(game.Path()), before);
}

struct EmulatorCase {
    PageId page;
    std::string member;
    std::wstring installed, missing;
};

class EmulatorPage : public PageTest, public ::testing::WithParamInterface<EmulatorCase> {
  protected:
    wizard::InstallPage &Page() { return Show<wizard::InstallPage>(GetParam().page); }
    bool IsGlideOS() const { return GetParam().page == PageId::frmStep6; }
};

TEST_P(EmulatorPage, PutsItsLibraryInPlaceAsGlide2xReplacingAWritableOne) {
    WriteKit(FullKit());
    WriteGameFile(L"glide2x.dll", "the player's old Glide library");
    auto before = std::make_shared<wizard::FileSystemObject>();
    wizard.State.Fso = before;
    NextShows(Page(), GetParam().installed, PageId::frmStep8);

    FolderContents expected = {{L"MendpackFiles.zip", MakeZip(FullKit())},
                               {L"glide2x.dll", Payload(GetParam().member)}};
    if (IsGlideOS())
        expected[L"OpenGLid.INI"] = Payload("OpenGLid.INI");
    EXPECT_EQ(Contents(game.Path()), expected);
    EXPECT_NE(wizard.State.Fso, before) << "the page makes its own file-system object";
    EXPECT_NE(wizard.State.Fso, nullptr);
}

TEST_P(EmulatorPage, FindsItsMemberInsideAFolderOfTheArchive) {
    WriteKit({{"Emulators/" + GetParam().member, "from a folder"}, {"Emulators/OpenGLid.INI", "ini"}});
    NextShows(Page(), GetParam().installed, PageId::frmStep8);
    EXPECT_EQ(GameFile(L"glide2x.dll"), "from a folder");
}

TEST_P(EmulatorPage, AMissingMemberLeavesGlide2xAsItWas) {
    // Other letter case is another name; an archive without the member extracts nothing of it.
    std::string wrongCase = IsGlideOS() ? "OS glide2x.dll" : "DGVoodoo sync glide2x.dll";
    WriteKit({{wrongCase, "wrong case"}, {"OpenGLid.INI", "ini"}, {"glide2x.dll", "not wanted either"}});
    WriteGameFile(L"glide2x.dll", "the player's old Glide library");
    NextShows(Page(), GetParam().missing, PageId::frmStep8);
    EXPECT_EQ(GameFile(L"glide2x.dll"), "the player's old Glide library");
    // GlideOS's settings file came out all the same and stays.
    EXPECT_EQ(HasGameFile(L"OpenGLid.INI"), IsGlideOS());
    EXPECT_EQ(wintest::List(game.Path()).size(), IsGlideOS() ? 3u : 2u);

    ::DeleteFileW((game / L"MendpackFiles.zip").c_str());
    NextShows(Page(), GetParam().missing, PageId::frmStep8);
    EXPECT_EQ(GameFile(L"glide2x.dll"), "the player's old Glide library");
}

TEST_P(EmulatorPage, AReadOnlyGlide2xEndsTheWizardWithAnError) {
    WriteKit(FullKit());
    WriteGameFile(L"glide2x.dll", "frozen Glide library", true);
    auto &page = Page();
    try {
        page.Next_Click();
        ADD_FAILURE() << "a read-only glide2x.dll was replaced";
    } catch (const mend::Error &e) {
        EXPECT_EQ(e.Number(), ERROR_ACCESS_DENIED);
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(VisiblePage(), GetParam().page);
    EXPECT_EQ(GameFile(L"glide2x.dll"), "frozen Glide library");
}

TEST_P(EmulatorPage, SkipTouchesNothing) {
    WriteKit(FullKit());
    WriteGameFile(L"glide2x.dll", "old");
    FolderContents before = Contents(game.Path());
    Page().Skip_Click();
    EXPECT_EQ(VisiblePage(), PageId::frmStep8);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Contents(game.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Glide, EmulatorPage,
    ::testing::Values(EmulatorCase{PageId::frmStep5, "dgvoodoo sync glide2x.dll", L"dgvoodoo installed",
                                   L"Error -- dgvoodoo file not found"},
                      EmulatorCase{PageId::frmStep6, "OS Glide2x.dll", L"GlideOS installed",
                                   L"Error -- GlideOS file not found"}),
    [](const auto &info) { return info.param.page == PageId::frmStep5 ? "dgvoodoo" : "GlideOS"; });

} // namespace

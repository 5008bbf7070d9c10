// The presets page (frmStep8): the player's preference files go into backups that are never
// overwritten, the kit's presets take their place.
#include "page_test.h"

using namespace kittest;
using wizard::PageId;

namespace {

const std::wstring kGf = L"Data\\gfprefs.dat", kMp = L"Data\\Multi\\mpprefs.dat";
const std::wstring kGfBackup = L"Data\\wgfprefs.bak", kMpBackup = L"Data\\Multi\\wmpprefs.bak";
constexpr wchar_t kInstalled[] = L"Pre-configured GF preference files installed";

class PresetsPage : public PageTest {
  protected:
    wizard::frmStep8 &Page() { return Show<wizard::frmStep8>(PageId::frmStep8); }
    void PlayerFiles(bool frozen = false) {
        WriteGameFile(kGf, PlayerPrefs('s'), frozen);
        WriteGameFile(kMp, PlayerPrefs('m'), frozen);
    }
    // The game folder as the page leaves it after a complete install.
    FolderContents Installed(bool backups) {
        FolderContents c = {{L"MendpackFiles.zip", MakeZip(FullKit())},
                            {L"Data\\", ""},
                            {L"Data\\Multi\\", ""},
                            {kGf, Payload("gfprefs.dat")},
                            {kMp, Payload("mpprefs.dat")}};
        if (backups) {
            c[kGfBackup] = PlayerPrefs('s');
            c[kMpBackup] = PlayerPrefs('m');
        }
        return c;
    }
};

TEST_F(PresetsPage, BacksUpThePlayersFilesAndInstallsThePresets) {
    WriteKit(FullKit());
    PlayerFiles();
    auto before = std::make_shared<wizard::FileSystemObject>();
    wizard.State.Fso = before;
    NextShows(Page(), kInstalled, PageId::frmStep9);
    EXPECT_EQ(Contents(game.Path()), Installed(true));
    EXPECT_NE(wizard.State.Fso, before);
}

TEST_F(PresetsPage, FrozenPreferenceFilesAreBackedUpAndReplaced) {
    WriteKit(FullKit());
    PlayerFiles(true);
    NextShows(Page(), kInstalled, PageId::frmStep9);
    FolderContents expected = Installed(false);
    // A copy keeps the read-only mark: the backup is frozen as the player's file was.
    expected[kGfBackup + L"*"] = PlayerPrefs('s');
    expected[kMpBackup + L"*"] = PlayerPrefs('m');
    EXPECT_EQ(Contents(game.Path()), expected);
}

TEST_F(PresetsPage, BacksUpOnlyTheFilesThatExist) {
    WriteKit(FullKit());
    WriteGameFile(kGf, PlayerPrefs('s'));
    wintest::MakeFolders(game / L"Data\\Multi");
    NextShows(Page(), kInstalled, PageId::frmStep9);
    FolderContents expected = Installed(true);
    expected.erase(kMpBackup);
    EXPECT_EQ(Contents(game.Path()), expected);

    // With no preference files at all, the presets are installed and no backup is made.
    wintest::RemoveTree(game / L"Data");
    wintest::MakeFolders(game / L"Data\\Multi");
    NextShows(Page(), kInstalled, PageId::frmStep9);
    EXPECT_EQ(Contents(game.Path()), Installed(false));
}

// The backups are what the uninstall gives back: a second install must not overwrite them with
// the presets that the first one put in place, and an existing backup, frozen or not, is kept.
TEST_F(PresetsPage, AnExistingBackupIsKeptSoTheOriginalsSurviveASecondRun) {
    WriteKit(FullKit());
    PlayerFiles();
    NextShows(Page(), kInstalled, PageId::frmStep9);
    {
        wizard::Wizard second;
        second.SetMessageSink([this](HWND, const std::wstring &text) { messages.push_back(text); });
        messages.clear();
        dynamic_cast<wizard::frmStep8 &>(second.Show(PageId::frmStep8)).Next_Click();
        EXPECT_EQ(messages, std::vector<std::wstring>{kInstalled});
    }
    EXPECT_EQ(Contents(game.Path()), Installed(true));

    wintest::SetReadOnly(game / kGfBackup, true);
    WriteGameFile(kMpBackup, "an older backup");
    NextShows(Page(), kInstalled, PageId::frmStep9);
    FolderContents expected = Installed(true);
    expected.erase(kGfBackup);
    expected[kGfBackup + L"*"] = PlayerPrefs('s');
    expected[kMpBackup] = "an older backup";
    EXPECT_EQ(Contents(game.Path()), expected);
}

TEST_F(PresetsPage, WithoutBothPresetsThePlayersFilesAreNotTouched) {
    PlayerFiles(true);
    WriteGameFile(kGfBackup, "a backup from before");
    const std::vector<std::vector<ZipMember>> kits = {
        {{"gfprefs.dat", "only the single-player preset"}, {"Readme.txt", "x"}},
        {{"GFPREFS.DAT", "wrong case"}, {"Mpprefs.dat", "wrong case"}},
        {{"mpprefs.dat", "only the multiplayer preset"}},
    };
    for (const auto &kit : kits) {
        WriteKit(kit);
        FolderContents before = Contents(game.Path());
        NextShows(Page(), L"Error -- preference files not found", PageId::frmStep9);
        EXPECT_EQ(Contents(game.Path()), before) << "the preset that did come out is removed again";
    }
    ::DeleteFileW((game / L"MendpackFiles.zip").c_str());
    FolderContents before = Contents(game.Path());
    NextShows(Page(), L"Error -- preference files not found", PageId::frmStep9);
    EXPECT_EQ(Contents(game.Path()), before);
}

TEST_F(PresetsPage, AMissingDataFolderEndsTheWizardWithAnError) {
    WriteKit(FullKit());
    EXPECT_THROW(Page().Next_Click(), mend::Error);
    EXPECT_TRUE(messages.empty());

    // With "Data" but no "Data\Multi", the single-player file is in its backup before the error.
    WriteGameFile(kGf, PlayerPrefs('s'));
    try {
        Page().Next_Click();
        ADD_FAILURE() << "a preset was copied into a missing folder";
    } catch (const mend::Error &e) {
        EXPECT_EQ(e.Number(), ERROR_PATH_NOT_FOUND);
    }
    EXPECT_EQ(GameFile(kGfBackup), PlayerPrefs('s'));
    EXPECT_EQ(GameFile(kGf), Payload("gfprefs.dat"));
}

TEST_F(PresetsPage, SkipTouchesNothing) {
    WriteKit(FullKit());
    PlayerFiles(true);
    WriteGameFile(kGfBackup, "backup");
    FolderContents before = Contents(game.Path());
    Page().Skip_Click();
    EXPECT_EQ(VisiblePage(), PageId::frmStep9);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Contents(game.Path()), before);
}

} // namespace

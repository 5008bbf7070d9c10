// cUnzip with the real vbuzip10.dll under Windows: the wizard's calling order in a game folder
// whose path is not ASCII, a hostile archive picked by name with every event answered, files
// replaced in one step or not at all, and the component's errors when the library is missing.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "unzip/shared_library.h"
#include "unzip/unzip.h"
#include "zip_builder.h"

using namespace wintest;
using Names = std::vector<std::wstring>;

namespace {

class UnderWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        mUnzip::UseLibrary(mUnzip::UnzipLibrary(mUnzip::UnzipLibraryFileName()));
        reader.Progress = [&](int32_t, const std::wstring &sMsg) { messages += sMsg + L"\n"; };
    }
    // Writes `members` as the archive `name` in the game folder and lists it the way the wizard does.
    void Open(const std::wstring &name, const std::vector<ziptest::Member> &members) {
        WriteFile(game / name, ziptest::Build(members));
        reader.ZipFile(name);
        reader.UnzipFolder(game.Path());
        reader.Directory();
    }

    TempFolder game{L"Spi\u00e9le \u6e38\u620f"};
    CurrentDirectory inGame{game.Path()};
    cUnzip reader;
    std::wstring messages;
};

} // namespace

TEST_F(UnderWindows, TheWizardsFlowInAGameFolderWithAForeignName) {
    ziptest::Member foreign{u8"Pr\u00e9f\u00e9rences/\u4e2d.txt", "non-ASCII name"};
    foreign.flags = 0x800;
    Open(L"MendpackFiles.zip",
         {{"Nightjar.exe", "MZ launcher"}, {"Turbo.EXE", "turbo"}, {"Data/", ""}, foreign});
    ASSERT_EQ(reader.FileCount(), 3);
    EXPECT_EQ(reader.FileDirectory(3) + L"|" + reader.FileName(3), L"Pr\u00e9f\u00e9rences|\u4e2d.txt");
    reader.FileSelected(2, false);
    EXPECT_TRUE(reader.Unzip()) << messages;
    EXPECT_EQ(List(game.Path()), (Names{L"MendpackFiles.zip", L"Nightjar.exe", L"\u4e2d.txt"}));
    EXPECT_EQ(ReadFile(game / L"Nightjar.exe") + ReadFile(game / L"\u4e2d.txt"), "MZ launchernon-ASCII name");
    reader.UseFolderNames(true);
    EXPECT_TRUE(reader.Unzip()) << messages;
    EXPECT_EQ(ReadFile(game / L"Pr\u00e9f\u00e9rences\\\u4e2d.txt"), "non-ASCII name");

    int32_t major = -1, minor = -1, revision = -1;
    ZipDate date;
    std::wstring extra;
    reader.GetVersion(major, minor, revision, date, extra);
    EXPECT_EQ(std::vector<int32_t>({major, minor, revision}), std::vector<int32_t>({1, 0, 0}));
    EXPECT_EQ(extra, L"release   ") << "cut at its NUL and padded to 10 characters";
}

// Every event answered, in both directions across the library's boundary: texts and paths come
// from it, a password and replace answers go back into it. A read-only file is refused without a
// question; it and a file under a damaged member stay as they were.
TEST_F(UnderWindows, AHostileArchivePickedByNameWithEveryEventHandled) {
    ziptest::Member secret{"secret.txt", "under the oak"}, damaged{"gfprefs.dat", std::string(200000, 'd')};
    secret.password = "open sesame";
    damaged.crc = 42;
    damaged.descriptor = true;
    for (const wchar_t *name : {L"keep.txt", L"replace.txt", L"frozen.txt", L"gfprefs.dat"})
        WriteFile(game / name, "old");
    SetReadOnly(game / L"frozen.txt", true);
    Open(L"hostile.zip", {{"../outside.txt", "evil"},
                          secret,
                          {"keep.txt", "new"},
                          {"replace.txt", "new"},
                          {"frozen.txt", "new"},
                          damaged,
                          {"unwanted.txt", "no"}});
    Names listed;
    for (int32_t i = 1; i <= reader.FileCount(); ++i)
        listed.push_back(reader.FileDirectory(i) + L"|" + reader.FileName(i));
    EXPECT_EQ(listed, (Names{L"..|outside.txt", L"|secret.txt", L"|keep.txt", L"|replace.txt", L"|frozen.txt",
                             L"|gfprefs.dat", L"|unwanted.txt"}));
    EXPECT_TRUE(reader.FileEncrypted(2));

    Names events;
    reader.Cancel = [&](const std::wstring &sMsg, bool &) { events.push_back(L"working on " + sMsg); };
    const wchar_t *passwords[] = {L"wrong", L"open sesame"};
    size_t asked = 0;
    reader.PasswordRequest = [&](std::wstring &sPassword, bool &) {
        events.push_back(L"password");
        sPassword = passwords[std::min<size_t>(asked++, 1)];
    };
    reader.OverwritePrompt = [&](const std::wstring &sFile, int32_t &eResponse) {
        events.push_back(L"replace " + sFile);
        eResponse = sFile == game / L"keep.txt" ? 101 : 100;
    };
    reader.FileSelected(7, false);
    EXPECT_FALSE(reader.Unzip()) << "the member that climbs out is refused";
    EXPECT_EQ(events,
              (Names{L"working on ../outside.txt", L"working on secret.txt", L"password", L"password",
                     L"working on keep.txt", L"replace " + game / L"keep.txt", L"working on replace.txt",
                     L"replace " + game / L"replace.txt", L"working on frozen.txt", L"working on gfprefs.dat",
                     L"replace " + game / L"gfprefs.dat"}));
    for (const wchar_t *named : {L"climbs out", L"frozen.txt", L"gfprefs.dat"})
        EXPECT_NE(messages.find(named), std::wstring::npos) << named << messages;
    EXPECT_EQ(List(game.Path()), (Names{L"frozen.txt", L"gfprefs.dat", L"hostile.zip", L"keep.txt",
                                        L"replace.txt", L"secret.txt"}))
        << "no temporary file left";
    EXPECT_EQ(ReadFile(game / L"keep.txt") + ReadFile(game / L"replace.txt") +
                  ReadFile(game / L"frozen.txt") + ReadFile(game / L"gfprefs.dat") +
                  ReadFile(game / L"secret.txt"),
              "oldnewoldoldunder the oak");
    EXPECT_FALSE(Exists(game / L"..\\outside.txt"));
    SetReadOnly(game / L"frozen.txt", false);
}

TEST(UnzipErrors, AMissingLibraryOrEntryPointNamesTheProgram) {
    int32_t n;
    ZipDate date;
    std::wstring extra;
    for (auto [library, entryPoint, number] :
         {std::make_tuple(L"vbuzip10-not-here.dll", L"", 48L),
          std::make_tuple(L"kernel32.dll", L"Wiz_SingleEntryUnzip", 453L),
          std::make_tuple(L"kernel32.dll", L"UzpVersion2", 453L)}) {
        mUnzip::UseLibrary(mUnzip::UnzipLibrary(library));
        cUnzip reader;
        reader.ZipFile(L"MendpackFiles.zip");
        try {
            if (entryPoint == std::wstring(L"UzpVersion2"))
                reader.GetVersion(n, n, n, date, extra);
            else
                reader.Directory();
            ADD_FAILURE() << "no error";
        } catch (const mend::Error &e) {
            EXPECT_EQ(std::to_wstring(e.Number()) + L" " + e.Source(),
                      std::to_wstring(number) + L" unzip_wine_tests.VBUnzip");
            if (*entryPoint) {
                EXPECT_EQ(e.Description(),
                          L"Can't find DLL entry point " + std::wstring(entryPoint) + L" in kernel32.dll");
            }
        }
    }
}

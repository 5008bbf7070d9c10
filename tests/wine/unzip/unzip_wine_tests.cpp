// cUnzip with the real vbuzip10.dll under Windows: the wizard's calling order in a game folder
// whose path is not ASCII over a hostile archive, files replaced in one step or not at all, and
// the component's errors when the library is missing.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "unzip/shared_library.h"
#include "unzip/unzip.h"
#include "zip_builder.h"

using namespace wintest;
using Names = std::vector<std::wstring>;

// No event handled, as in the wizard: the encrypted member and the one that climbs out are
// refused, a read-only file and a file under a damaged member stay as they were, an existing file
// is replaced, the rest comes out.
TEST(UnderWindows, TheWizardsFlowOverAHostileArchiveInAGameFolderWithAForeignName) {
    mUnzip::UseLibrary(mUnzip::UnzipLibrary(mUnzip::UnzipLibraryFileName()));
    TempFolder game{L"Spi\u00e9le \u6e38\u620f"};
    CurrentDirectory inGame{game.Path()};
    ziptest::Member foreign{u8"Pr\u00e9f\u00e9rences/\u4e2d.txt", "non-ASCII name"},
        secret{"secret.txt", "x"}, damaged{"gfprefs.dat", std::string(200000, 'd')};
    foreign.flags = 0x800;
    secret.flags = 1;
    damaged.crc = 42;
    damaged.descriptor = true;
    for (const wchar_t *name : {L"replace.txt", L"frozen.txt", L"gfprefs.dat"})
        WriteFile(game / name, "old");
    SetReadOnly(game / L"frozen.txt", true);
    WriteFile(game / L"MendpackFiles.zip", ziptest::Build({{"../outside.txt", "evil"},
                                                           secret,
                                                           {"Data/", ""},
                                                           foreign,
                                                           {"replace.txt", "new"},
                                                           {"frozen.txt", "new"},
                                                           damaged,
                                                           {"unwanted.txt", "no"}}));
    cUnzip reader;
    std::wstring messages;
    reader.Progress = [&](int32_t, const std::wstring &sMsg) { messages += sMsg + L"\n"; };
    reader.ZipFile(L"MendpackFiles.zip");
    reader.UnzipFolder(game.Path());
    reader.Directory();
    ASSERT_EQ(reader.FileCount(), 7) << "the folder entry is not listed";
    reader.FileSelected(7, false);
    EXPECT_FALSE(reader.Unzip()) << messages;
    for (const wchar_t *named : {L"climbs out", L"secret.txt", L"frozen.txt", L"gfprefs.dat"})
        EXPECT_NE(messages.find(named), std::wstring::npos) << named << messages;
    EXPECT_EQ(List(game.Path()),
              (Names{L"MendpackFiles.zip", L"frozen.txt", L"gfprefs.dat", L"replace.txt", L"\u4e2d.txt"}))
        << "no temporary file left";
    EXPECT_EQ(ReadFile(game / L"replace.txt") + ReadFile(game / L"frozen.txt") +
                  ReadFile(game / L"gfprefs.dat") + ReadFile(game / L"\u4e2d.txt"),
              "newoldoldnon-ASCII name");
    EXPECT_FALSE(Exists(game / L"..\\outside.txt"));
}

TEST(UnzipErrors, AMissingLibraryOrEntryPointNamesTheProgram) {
    for (auto [library, description] :
         {std::make_pair(L"vbuzip10-not-here.dll", L""),
          std::make_pair(L"kernel32.dll",
                         L"Can't find DLL entry point Wiz_SingleEntryUnzip in kernel32.dll")}) {
        mUnzip::UseLibrary(mUnzip::UnzipLibrary(library));
        cUnzip reader;
        reader.ZipFile(L"MendpackFiles.zip");
        try {
            reader.Directory();
            ADD_FAILURE() << "no error";
        } catch (const mend::Error &e) {
            EXPECT_EQ(std::to_wstring(e.Number()) + L" " + e.Source(),
                      (*description ? L"453" : L"48") + std::wstring(L" unzip_wine_tests.VBUnzip"));
            if (*description) {
                EXPECT_EQ(e.Description(), description);
            }
        }
    }
}

// cUnzip with the real vbuzip10.dll under Windows: the wizard's calling order in a game folder
// whose path is not ASCII, and the program's name in the source of the component's errors.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "unzip/shared_library.h"
#include "unzip/unzip.h"

using namespace wintest;

namespace {

std::wstring CurrentFolder() {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
    return std::wstring(buffer, n);
}

TEST(UnzipUnderWindows, TheWizardsFlowInAGameFolderWithAForeignName) {
    mUnzip::UseLibrary(mUnzip::UnzipLibrary(mUnzip::UnzipLibraryFileName()));
    TempFolder game(L"Spi\u00e9le \u6e38\u620f");
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"\\unzip_kit.zip").c_str(),
                          (game / L"MendpackFiles.zip").c_str(), TRUE));
    CurrentDirectory inGame(game.Path());

    cUnzip unzip;
    unzip.ZipFile(L"MendpackFiles.zip");
    unzip.UnzipFolder(CurrentFolder());
    unzip.Directory();
    ASSERT_EQ(unzip.FileCount(), 5);
    EXPECT_EQ(unzip.FileDirectory(4), L"Data");
    EXPECT_EQ(unzip.FileName(5), L"Pr\u00e9f\u00e9rences \u4e2d.txt");
    for (int32_t i = 1; i <= unzip.FileCount(); ++i) {
        std::wstring name = unzip.FileName(i);
        if (name != L"Nightjar.exe" && name != L"Nightjar.htm" && name != L"Pr\u00e9f\u00e9rences \u4e2d.txt")
            unzip.FileSelected(i, false);
    }
    EXPECT_TRUE(unzip.Unzip());

    EXPECT_EQ(List(game.Path()),
              std::vector<std::wstring>({L"MendpackFiles.zip", L"Nightjar.exe", L"Nightjar.htm",
                                         L"Pr\u00e9f\u00e9rences \u4e2d.txt"}));
    EXPECT_EQ(ReadFile(game / L"Nightjar.exe"), "MZ launcher");
    EXPECT_EQ(ReadFile(game / L"Pr\u00e9f\u00e9rences \u4e2d.txt"), "non-ASCII name");

    int32_t major = -1, minor = -1, revision = -1;
    ZipDate date;
    std::wstring extra;
    unzip.GetVersion(major, minor, revision, date, extra);
    EXPECT_GE(major, 0);
    EXPECT_LE(major, 255);
    EXPECT_GE(extra.size(), 1u);
}

long FailingDirectory(const std::wstring &library, std::wstring &source, std::wstring &description) {
    mUnzip::UseLibrary(mUnzip::UnzipLibrary(library));
    cUnzip unzip;
    unzip.ZipFile(L"MendpackFiles.zip");
    try {
        unzip.Directory();
    } catch (const mend::Error &e) {
        source = e.Source();
        description = e.Description();
        return e.Number();
    }
    return 0;
}

TEST(UnzipUnderWindows, AMissingLibraryOrEntryPointNamesTheProgram) {
    std::wstring source, description;
    EXPECT_EQ(FailingDirectory(L"vbuzip10-not-here.dll", source, description), 48);
    EXPECT_EQ(source, L"unzip_wine_tests.VBUnzip");

    EXPECT_EQ(FailingDirectory(L"kernel32.dll", source, description), 453);
    EXPECT_EQ(source, L"unzip_wine_tests.VBUnzip");
    EXPECT_EQ(description, L"Can't find DLL entry point Wiz_SingleEntryUnzip in kernel32.dll");
}

} // namespace

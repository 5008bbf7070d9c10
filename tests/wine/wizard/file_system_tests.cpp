#include <gtest/gtest.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "wizard/file_system.h"

using namespace wintest;
using wizard::FileSystemObject;

namespace {

// The Windows error number a call raised, or 0 when it did not raise.
template <typename F>
long ErrorOf(F call) {
    try {
        call();
    } catch (const mend::Error& e) {
        EXPECT_FALSE(e.Description().empty());
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(FileSystemObject, FileExistsSeesFilesNotFolders) {
    TempFolder folder;
    FileSystemObject fso;
    WriteFile(folder / L"falcon.exe", "x");
    MakeFolders(folder / L"Data");
    EXPECT_TRUE(fso.FileExists(folder / L"falcon.exe"));
    EXPECT_TRUE(fso.FileExists(folder / L"FALCON.EXE")) << "Windows names ignore case";
    EXPECT_FALSE(fso.FileExists(folder / L"Data"));
    EXPECT_FALSE(fso.FileExists(folder / L"nothing.dat"));
    CurrentDirectory cd(folder.Path());
    EXPECT_TRUE(fso.FileExists(L"falcon.exe")) << "relative names are relative to the game folder";
}

TEST(FileSystemObject, CopyReplacesAWritableDestinationAndRefusesAReadOnlyOne) {
    TempFolder folder;
    FileSystemObject fso;
    CurrentDirectory cd(folder.Path());
    MakeFolders(folder / L"Data");
    WriteFile(L"gfprefs.dat", "preset");
    WriteFile(L"Data\\gfprefs.dat", "player's own, longer than the preset");

    fso.CopyFile(L"gfprefs.dat", L"Data\\gfprefs.dat");
    EXPECT_EQ(ReadFile(L"Data\\gfprefs.dat"), "preset");
    EXPECT_EQ(ReadFile(L"gfprefs.dat"), "preset") << "the source stays";

    WriteFile(L"Data\\frozen.dat", "frozen");
    SetReadOnly(L"Data\\frozen.dat", true);
    EXPECT_EQ(ErrorOf([&] { fso.CopyFile(L"gfprefs.dat", L"Data\\frozen.dat"); }), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadFile(L"Data\\frozen.dat"), "frozen");

    EXPECT_EQ(ErrorOf([&] { fso.CopyFile(L"missing.dat", L"Data\\x.dat"); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf([&] { fso.CopyFile(L"gfprefs.dat", L"NoSuchFolder\\x.dat"); }), ERROR_PATH_NOT_FOUND);
}

TEST(FileSystemObject, DeleteNeedsForceForAReadOnlyFileAndFailsOnAMissingOne) {
    TempFolder folder;
    FileSystemObject fso;
    CurrentDirectory cd(folder.Path());
    WriteFile(L"frozen.dat", "x");
    SetReadOnly(L"frozen.dat", true);
    EXPECT_EQ(ErrorOf([&] { fso.DeleteFile(L"frozen.dat"); }), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(Exists(folder / L"frozen.dat"));
    fso.DeleteFile(L"frozen.dat", true);
    EXPECT_FALSE(Exists(folder / L"frozen.dat"));

    WriteFile(L"plain.dat", "x");
    fso.DeleteFile(L"plain.dat");
    EXPECT_FALSE(Exists(folder / L"plain.dat"));
    EXPECT_EQ(ErrorOf([&] { fso.DeleteFile(L"plain.dat"); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf([&] { fso.DeleteFile(L"plain.dat", true); }), ERROR_FILE_NOT_FOUND);
}

TEST(FileSystemObject, WorksInFoldersWithAnyCharacters) {
    TempFolder folder(L"\u00e9\u4e2d\u0436");
    std::wstring game = folder / L"Gale Falcon \u2708 3D";
    MakeFolders(game);
    FileSystemObject fso;
    WriteFile(game + L"\\\u00fcber.dat", "x");
    fso.CopyFile(game + L"\\\u00fcber.dat", game + L"\\\u4e2d.bak");
    EXPECT_TRUE(fso.FileExists(game + L"\\\u4e2d.bak"));
    fso.DeleteFile(game + L"\\\u00fcber.dat", true);
    EXPECT_FALSE(fso.FileExists(game + L"\\\u00fcber.dat"));
}

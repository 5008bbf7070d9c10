#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "win32/com.h"
#include "wizard/shell.h"

using namespace wintest;

namespace {

struct ShortcutFields {
    std::wstring target, workingDirectory, description, arguments;
    int showCommand = -1;
};

ShortcutFields ReadShortcut(const std::wstring& file) {
    ShortcutFields f;
    win32::ComPtr<IShellLinkW> link;
    EXPECT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid()));
    win32::ComPtr<IPersistFile> persist;
    EXPECT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.ReceiveVoid()));
    EXPECT_HRESULT_SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
    wchar_t text[MAX_PATH] = L"";
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    f.target = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    f.workingDirectory = text;
    link->GetDescription(text, MAX_PATH);
    f.description = text;
    link->GetArguments(text, MAX_PATH);
    f.arguments = text;
    link->GetShowCmd(&f.showCommand);
    return f;
}

class ShellObject : public testing::Test {
protected:
    win32::ComApartment com;
    wizard::ShellObject shell;
};

}  // namespace

TEST_F(ShellObject, DesktopIsTheUsersDesktopFolderWithoutATrailingBackslash) {
    std::wstring desktop = shell.SpecialFolders(L"Desktop");
    wchar_t expected[MAX_PATH];
    ASSERT_HRESULT_SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, expected));
    EXPECT_EQ(desktop, expected);
    ASSERT_FALSE(desktop.empty());
    EXPECT_NE(desktop.back(), L'\\');
    EXPECT_NE(GetFileAttributesW(desktop.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShellObject, SaveWritesAShortcutThatReadsBackAsSetAndReplacesAnOldOne) {
    TempFolder game(L"Gale Falcon \u00e9");
    TempFolder links;
    std::wstring file = links / L"Nightjar.lnk";
    WriteFile(file, "an older shortcut of that name");

    wizard::Shortcut link = shell.CreateShortcut(file);
    EXPECT_FALSE(Exists(file + L".tmp"));
    link.TargetPath = game.Path() + L"\\Nightjar.EXE";
    link.WindowStyle = 1;
    link.Description = L"Nightjar";
    link.WorkingDirectory = game.Path();
    link.Save();

    ShortcutFields read = ReadShortcut(file);
    EXPECT_EQ(read.target, game.Path() + L"\\Nightjar.EXE");
    EXPECT_EQ(read.workingDirectory, game.Path());
    EXPECT_EQ(read.description, L"Nightjar");
    EXPECT_EQ(read.arguments, L"");
    // Windows stores SW_SHOWNORMAL (1) and gives it back. Wine 8 writes the show command only
    // when it differs from normal and reads an absent one back as 1, so through the API both
    // agree on 1; the raw field in the file may read 0 under Wine.
    EXPECT_EQ(read.showCommand, SW_SHOWNORMAL);
}

TEST_F(ShellObject, SaveIntoAMissingFolderIsAnError) {
    TempFolder links;
    wizard::Shortcut link = shell.CreateShortcut(links / L"no such folder\\Nightjar.lnk");
    link.TargetPath = L"C:\\x.exe";
    EXPECT_THROW(link.Save(), mend::Error);
}

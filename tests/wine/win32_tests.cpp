#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "support/temp_folder.h"
#include "win32/ansi.h"
#include "win32/win_error.h"

using namespace wintest;

TEST(WinError, CarriesTheWindowsNumberAndText) {
    try {
        win32::RaiseWin32(ERROR_FILE_NOT_FOUND, L"test");
        FAIL();
    } catch (const mend::Error &e) {
        EXPECT_EQ(e.Number(), 2);
        EXPECT_EQ(e.Source(), L"test");
        EXPECT_FALSE(e.Description().empty());
        EXPECT_EQ(e.Description().find(L"Windows error"), std::wstring::npos) << "the system's own text";
    }
}

TEST(Session, RunsAsAUserForWhomReadOnlyHolds) {
    // As root Wine opens read-only files for writing anyway; the session must not run as root.
    TempFolder folder;
    std::wstring file = folder / L"frozen.dat";
    WriteFile(file, "x");
    SetReadOnly(file, true);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Ansi, RoundTripsPlainText) {
    EXPECT_EQ(win32::WideFromAnsi(win32::AnsiFromWide(L"gfprefs.dat")), L"gfprefs.dat");
}

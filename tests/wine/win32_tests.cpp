#include <gtest/gtest.h>
#include <windows.h>

#include "common/error.h"
#include "win32/win_error.h"

TEST(WinError, CarriesTheWindowsNumberAndTheSystemsOwnText) {
    try {
        win32::RaiseWin32(ERROR_FILE_NOT_FOUND, L"test");
        FAIL();
    } catch (const mend::Error &e) {
        EXPECT_EQ(e.Number(), 2);
        EXPECT_EQ(e.Source(), L"test");
        EXPECT_FALSE(e.Description().empty() || e.Description().find(L"Windows error") != std::wstring::npos);
    }
}

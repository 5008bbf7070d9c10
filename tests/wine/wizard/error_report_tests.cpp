#include <gtest/gtest.h>

#include "common/error.h"
#include "wizard/wizard.h"

// An unexpected failure ends the wizard with a box that gives the error's number and description.
TEST(ErrorReport, GivesNumberAndDescriptionAndEndsTheProgram) {
    wizard::Wizard wizard;
    std::vector<std::wstring> shown;
    wizard.SetMessageSink([&](HWND, const std::wstring& text) { shown.push_back(text); });
    wizard.Show(wizard::PageId::frmStart);
    wizard.ReportError(mend::Error(53, L"mendpack", L"File not found"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"Run-time error '53':\n\nFile not found");
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit) << "the program ends";
    EXPECT_FALSE(IsWindowVisible(wizard.Find(wizard::PageId::frmStart)->Hwnd()));
}

TEST(ErrorReport, NegativeNumbersReadAsTheyAre) {
    EXPECT_EQ(wizard::ErrorReportText(mend::Error(-2147024891, L"x", L"Access is denied.")),
              L"Run-time error '-2147024891':\n\nAccess is denied.");
}

#include "wizard_driver.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "support/gui.h"
#include "support/temp_folder.h"

using namespace wintest;
using wizard::PageId;

namespace wizdrive {

namespace {

// The page a window shows, told by its caption and its controls' texts in tab order.
bool Shows(HWND window, PageId id) {
    std::vector<std::wstring> seen, layout;
    for (HWND c : Children(window))
        seen.push_back(WindowText(c));
    for (const wizard::ControlLayout *c : wizard::LayoutOf(id).InTabOrder())
        layout.push_back(c->text);
    return WindowText(window) == wizard::LayoutOf(id).caption && seen == layout;
}

} // namespace

WizardRun::WizardRun(const std::wstring &folder, const std::wstring &program)
    : process_(program.empty() ? ProgramFolder() + L"\\mendpack.exe" : program, L"", folder) {}

HWND WizardRun::WaitForPage(PageId expected) {
    HWND shown = nullptr;
    AnswerMessagesUntil([&] {
        std::vector<HWND> pages; // the visible windows of the process but its message boxes
        for (HWND w : TopWindows(process_.Id()))
            if (IsWindowVisible(w) && WindowClass(w) != L"#32770")
                pages.push_back(w);
        shown = pages.size() == 1 && Shows(pages[0], expected) ? pages[0] : nullptr;
        return shown != nullptr;
    });
    if (!shown)
        ADD_FAILURE() << "page " << mend::Utf8FromWide(wizard::LayoutOf(expected).name)
                      << " did not show alone";
    return shown;
}

void WizardRun::Click(HWND page, PageId id, const std::wstring &control) {
    const wizard::ControlLayout *layout = wizard::LayoutOf(id).Find(control);
    EXPECT_TRUE(layout && wintest::Click(page, wizard::ControlId(*layout))) << mend::Utf8FromWide(control);
}

HWND WizardRun::Advance(HWND page, PageId id, const std::wstring &control, PageId next) {
    Click(page, id, control);
    return WaitForPage(next);
}

bool WizardRun::IsChecked(HWND page, PageId id, const std::wstring &control) {
    return IsDlgButtonChecked(page, wizard::ControlId(*wizard::LayoutOf(id).Find(control))) == BST_CHECKED;
}

void WizardRun::SetAnswers(HWND step2, const wizard::Answers &a) {
    const std::pair<const wchar_t *, int16_t> boxes[] = {{L"chkWinXP", a.WinXP},
                                                         {L"chkCPUspeed", a.CPUspeed},
                                                         {L"chkNVidia", a.NVidia},
                                                         {L"chkVideoMem", a.VideoMem}};
    // The clicks are posted, so they are handled before whatever is clicked next.
    for (auto [name, want] : boxes)
        if (IsChecked(step2, PageId::frmStep2, name) != (want != 0))
            Click(step2, PageId::frmStep2, name);
}

HWND WizardRun::Walk(const std::vector<PageId> &route, const wizard::Answers &answers,
                     const wchar_t *installButton, const wchar_t *shots) {
    HWND page = WaitForPage(route[0]);
    for (size_t i = 0; page; ++i) {
        if (shots)
            SaveScreenshot(page, shots + std::wstring(wizard::LayoutOf(route[i]).name));
        if (i + 1 == route.size())
            break;
        const PageId from = route[i], to = route[i + 1];
        if (from == PageId::frmStep2)
            SetAnswers(page, answers);
        if (to == PageId::frmUninstall)
            Click(page, from, L"btnUninstall");
        const wchar_t *button = from == PageId::frmStart                               ? L"NextStart"
                                : from == PageId::frmStep1 || from == PageId::frmStep2 ? L"Next"
                                                                                       : installButton;
        page = Advance(page, from, button, to);
    }
    return page;
}

void WizardRun::AnswerMessagesUntil(const std::function<bool()> &done) {
    WaitUntil(
        [&] {
            if (done())
                return true;
            if (auto box = WaitForMessageBox(L"GF3D Mendpack", process_.Id(), 0)) {
                messages_.push_back(box->text);
                PressOk(box->window);
            }
            return false;
        },
        20000);
}

bool WizardRun::WaitForExit(DWORD *exitCode) {
    AnswerMessagesUntil([&] { return process_.WaitForExit(0); });
    return process_.WaitForExit(10000, exitCode);
}

} // namespace wizdrive

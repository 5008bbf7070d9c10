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
std::optional<PageId> PageOf(HWND window) {
    std::vector<ControlInfo> children = ChildControls(window);
    for (PageId id : wizard::AllPages()) {
        auto ordered = wizard::LayoutOf(id).InTabOrder();
        bool same = ordered.size() == children.size() && WindowText(window) == wizard::LayoutOf(id).caption;
        for (size_t i = 0; i < ordered.size() && same; ++i)
            same = children[i].text == ordered[i]->text;
        if (same)
            return id;
    }
    return std::nullopt;
}

// The visible windows of the process but its message boxes.
std::vector<HWND> VisiblePages(DWORD pid) {
    std::vector<HWND> pages;
    for (HWND w : VisibleTopWindows(pid))
        if (WindowClass(w) != L"#32770")
            pages.push_back(w);
    return pages;
}

} // namespace

WizardRun::WizardRun(const std::wstring &folder, const std::wstring &program)
    : process_(program.empty() ? ProgramFolder() + L"\\mendpack.exe" : program, L"", folder) {}

HWND WizardRun::WaitForPage(PageId expected) {
    std::vector<HWND> visible;
    if (WaitUntil([&] {
            visible = VisiblePages(process_.Id());
            return visible.size() == 1 && PageOf(visible[0]) == expected;
        }))
        return visible[0];
    std::wstring shown;
    for (HWND w : visible)
        shown += L"[" + WindowText(w) + L"] ";
    ADD_FAILURE() << "page " << mend::Utf8FromWide(wizard::LayoutOf(expected).name) << " did not show alone; "
                  << visible.size() << " visible: " << mend::Utf8FromWide(shown);
    return nullptr;
}

void WizardRun::Click(HWND page, PageId id, const std::wstring &control) {
    const wizard::ControlLayout *layout = wizard::LayoutOf(id).Find(control);
    ASSERT_NE(layout, nullptr) << mend::Utf8FromWide(control);
    ASSERT_TRUE(wintest::Click(page, wizard::ControlId(*layout))) << mend::Utf8FromWide(control);
}

HWND WizardRun::Advance(HWND page, PageId id, const std::wstring &control, PageId next) {
    Click(page, id, control);
    AnswerMessagesUntil([&] {
        for (HWND w : VisiblePages(process_.Id()))
            if (PageOf(w) == next)
                return true;
        return false;
    });
    return WaitForPage(next);
}

bool WizardRun::IsChecked(HWND page, PageId id, const std::wstring &control) {
    auto info = FindControl(page, wizard::ControlId(*wizard::LayoutOf(id).Find(control)));
    return info && info->Checked();
}

void WizardRun::SetAnswers(HWND step2, const wizard::Answers &a) {
    const std::pair<const wchar_t *, int16_t> boxes[] = {{L"chkWinXP", a.WinXP},
                                                         {L"chkCPUspeed", a.CPUspeed},
                                                         {L"chkNVidia", a.NVidia},
                                                         {L"chkVideoMem", a.VideoMem}};
    for (auto [name, want] : boxes) {
        if (IsChecked(step2, PageId::frmStep2, name) != (want != 0))
            Click(step2, PageId::frmStep2, name);
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(step2, PageId::frmStep2, name) == (want != 0); }))
            << mend::Utf8FromWide(name);
    }
}

bool WizardRun::AnswerOneMessage() {
    auto box = WaitForMessageBox(L"GF3D Mendpack", process_.Id(), 0);
    if (!box)
        return false;
    messages_.push_back(box->text);
    PressOk(box->window);
    return true;
}

bool WizardRun::WaitForExit(DWORD *exitCode) {
    return process_.WaitForExit(10000, exitCode);
}

} // namespace wizdrive

#pragma once
// Drives a running mendpack: tells which page is showing, clicks through pages by the controls'
// names in the page layouts and answers the wizard's message boxes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/text.h"
#include "support/gui.h"
#include "wizard/pages/page_layouts.h"
#include "wizard/services/wizard_state.h"

namespace wizdrive {

using wizard::PageId;

class WizardRun {
  public:
    // Starts `program` (the build's mendpack.exe unless given) in `folder`.
    explicit WizardRun(const std::wstring &folder, const std::wstring &program = L"")
        : process_(program.empty() ? wintest::ProgramFolder() + L"\\mendpack.exe" : program, L"", folder) {}

    // Answers the wizard's messages until page `expected` shows alone, and returns it; fails the
    // test and returns nullptr when it does not.
    HWND WaitForPage(PageId expected) {
        // A page is told by its caption and its controls' texts in tab order.
        auto shows = [&](HWND window) {
            std::vector<std::wstring> seen, layout;
            for (HWND c : wintest::Children(window))
                seen.push_back(wintest::WindowText(c));
            for (const wizard::ControlLayout *c : wizard::LayoutOf(expected).InTabOrder())
                layout.push_back(c->text);
            return wintest::WindowText(window) == wizard::LayoutOf(expected).caption && seen == layout;
        };
        HWND shown = nullptr;
        AnswerMessagesUntil([&] {
            std::vector<HWND> pages; // the visible windows of the process but its message boxes
            for (HWND w : wintest::TopWindows(process_.Id()))
                if (IsWindowVisible(w) && wintest::WindowClass(w) != L"#32770")
                    pages.push_back(w);
            shown = pages.size() == 1 && shows(pages[0]) ? pages[0] : nullptr;
            return shown != nullptr;
        });
        EXPECT_NE(shown, nullptr) << "page " << mend::Utf8FromWide(wizard::LayoutOf(expected).name)
                                  << " did not show alone";
        return shown;
    }

    void Click(HWND page, PageId id, const std::wstring &control) {
        const wizard::ControlLayout *layout = wizard::LayoutOf(id).Find(control);
        EXPECT_TRUE(layout && wintest::Click(page, wizard::ControlId(*layout)))
            << mend::Utf8FromWide(control);
    }

    bool IsChecked(HWND page, PageId id, const std::wstring &control) {
        return IsDlgButtonChecked(page, wizard::ControlId(*wizard::LayoutOf(id).Find(control))) ==
               BST_CHECKED;
    }

    // From the welcome page along `route` to its last page, which it returns: Next up to the
    // questions page, which is answered with `answers`, then `installButton` (Next or Skip) on
    // the install pages; the uninstall option when the route goes there. `arrived` is called
    // with every page on the way as it shows.
    HWND Walk(const std::vector<PageId> &route, const wizard::Answers &answers, const wchar_t *installButton,
              const std::function<void(HWND, PageId)> &arrived = {}) {
        HWND page = WaitForPage(route[0]);
        for (size_t i = 0; page; ++i) {
            if (arrived)
                arrived(page, route[i]);
            if (i + 1 == route.size())
                break;
            const PageId from = route[i], to = route[i + 1];
            // The questions page's boxes are clicked as the answers say; the clicks are posted, so
            // they are handled before the button that leaves the page.
            const wchar_t *boxes[] = {L"chkWinXP", L"chkCPUspeed", L"chkNVidia", L"chkVideoMem"};
            const int16_t wanted[] = {answers.WinXP, answers.CPUspeed, answers.NVidia, answers.VideoMem};
            for (int b = 0; b < 4 && from == PageId::frmStep2; ++b)
                if (IsChecked(page, from, boxes[b]) != (wanted[b] != 0))
                    Click(page, from, boxes[b]);
            if (to == PageId::frmUninstall)
                Click(page, from, L"btnUninstall");
            // The pages before the install pages leave by Next (NextStart on the welcome page).
            const bool beforeInstall = from == PageId::frmStep1 || from == PageId::frmStep2;
            const wchar_t *next = beforeInstall ? L"Next" : installButton;
            Click(page, from, from == PageId::frmStart ? L"NextStart" : next);
            page = WaitForPage(to);
        }
        return page;
    }

    // Answers the wizard's messages until it has ended; false if it did not end.
    bool WaitForExit(DWORD *exitCode) {
        AnswerMessagesUntil([&] { return process_.WaitForExit(0); });
        return process_.WaitForExit(10000, exitCode);
    }

    // Every message the wizard has shown so far.
    const std::vector<std::wstring> &Messages() const { return messages_; }

  private:
    void AnswerMessagesUntil(const std::function<bool()> &done) {
        wintest::WaitUntil(
            [&] {
                if (done())
                    return true;
                if (HWND box = wintest::FindDialog(L"GF3D Mendpack", process_.Id(), 0)) {
                    messages_.push_back(wintest::ReadMessageBox(box).text);
                    wintest::PressOk(box);
                }
                return false;
            },
            20000);
    }

    wintest::ChildProcess process_;
    std::vector<std::wstring> messages_;
};

} // namespace wizdrive

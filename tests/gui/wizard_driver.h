#pragma once
// Drives a running mendpack: tells which page is showing, clicks through pages by the controls'
// names in the page layouts and answers the wizard's message boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/process.h"
#include "wizard/pages/page_layouts.h"
#include "wizard/services/wizard_state.h"

namespace wizdrive {

class WizardRun {
  public:
    // Starts `program` (the build's mendpack.exe unless given) in `folder`.
    explicit WizardRun(const std::wstring &folder, const std::wstring &program = L"");

    // Answers the wizard's messages until page `expected` shows alone, and returns it; fails the
    // test and returns nullptr when it does not.
    HWND WaitForPage(wizard::PageId expected);
    void Click(HWND page, wizard::PageId id, const std::wstring &control);
    // Clicks, then waits for page `next`.
    HWND Advance(HWND page, wizard::PageId id, const std::wstring &control, wizard::PageId next);
    bool IsChecked(HWND page, wizard::PageId id, const std::wstring &control);
    // Ticks and unticks the questions page's four boxes by clicking them, as the answers say.
    void SetAnswers(HWND step2, const wizard::Answers &answers);
    // From the welcome page along `route` to its last page, which it returns: Next up to the
    // questions page, which is answered with `answers`, then `installButton` (Next or Skip) on
    // the install pages; the uninstall option when the route goes there. With `shots`, a
    // screenshot of every page on the way, named `shots` and the page's name.
    HWND Walk(const std::vector<wizard::PageId> &route, const wizard::Answers &answers,
              const wchar_t *installButton, const wchar_t *shots = nullptr);
    // Answers the wizard's messages until it has ended; false if it did not end.
    bool WaitForExit(DWORD *exitCode);
    // Every message the wizard has shown so far.
    const std::vector<std::wstring> &Messages() const { return messages_; }

  private:
    void AnswerMessagesUntil(const std::function<bool()> &done);
    wintest::ChildProcess process_;
    std::vector<std::wstring> messages_;
};

} // namespace wizdrive

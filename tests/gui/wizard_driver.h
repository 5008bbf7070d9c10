#pragma once
// Drives a running mendpack: tells which page is showing, clicks through pages by the controls'
// names in the page layouts and answers the wizard's message boxes.
#include <windows.h>

#include <optional>
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

    wintest::ChildProcess &Process() { return process_; }
    // The one visible page; fails the test (and returns nullptr) when none or several show.
    HWND WaitForPage(wizard::PageId expected);
    void Click(HWND page, wizard::PageId id, const std::wstring &control);
    // Clicks and then answers the wizard's messages until page `next` shows alone.
    HWND Advance(HWND page, wizard::PageId id, const std::wstring &control, wizard::PageId next);
    bool IsChecked(HWND page, wizard::PageId id, const std::wstring &control);
    // Ticks and unticks the questions page's four boxes by clicking them, as the answers say.
    void SetAnswers(HWND step2, const wizard::Answers &answers);
    // Answers every wizard message box that shows up until `done` holds; returns their texts.
    template <typename F> std::vector<std::wstring> AnswerMessagesUntil(F done);
    bool WaitForExit(DWORD *exitCode);
    // Every message the wizard has shown so far.
    std::vector<std::wstring> Messages() const { return messages_; }

  private:
    bool AnswerOneMessage();
    wintest::ChildProcess process_;
    std::vector<std::wstring> messages_;
};

template <typename F> std::vector<std::wstring> WizardRun::AnswerMessagesUntil(F done) {
    size_t before = messages_.size();
    wintest::WaitUntil(
        [&] {
            if (done())
                return true;
            AnswerOneMessage();
            return false;
        },
        20000);
    return std::vector<std::wstring>(messages_.begin() + static_cast<long>(before), messages_.end());
}

} // namespace wizdrive

#pragma once
// Drives a running mendpack: tells which page is showing, checks a page against its table,
// clicks through pages and answers the wizard's message boxes.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_folder.h"
#include "wizard/page_layouts.h"
#include "wizard/wizard_state.h"

namespace wizdrive {

// A game folder for one run of the wizard: holds the game program so that the install path's
// checks accept it, and the 1078 patch's readme so that no patch step runs.
class GameFolder : public wintest::TempFolder {
public:
    GameFolder();
};

class WizardRun {
public:
    explicit WizardRun(const std::wstring& folder);

    wintest::ChildProcess& Process() { return *process_; }
    // The one visible page; fails the test (and returns nullptr) when none or several show.
    HWND WaitForPage(wizard::PageId expected);
    // The page a window shows, told by its controls' texts.
    static std::optional<wizard::PageId> PageOf(HWND window);
    // Clicks a control of the visible page by its name in the page table.
    void Click(HWND page, wizard::PageId id, const std::wstring& control);
    // Clicks and then answers the wizard's messages until page `next` shows alone.
    HWND Advance(HWND page, wizard::PageId id, const std::wstring& control, wizard::PageId next);
    bool IsChecked(HWND page, wizard::PageId id, const std::wstring& control);
    // Ticks and unticks the questions page's four boxes by clicking them, as the answers say.
    void SetAnswers(HWND step2, const wizard::Answers& answers);
    // Answers every wizard message box that shows up until `done` holds; returns their texts.
    template <typename F>
    std::vector<std::wstring> AnswerMessagesUntil(F done);
    bool WaitForExit(DWORD* exitCode);
    std::vector<std::wstring> Messages() const { return messages_; }

private:
    bool AnswerOneMessage();
    std::unique_ptr<wintest::ChildProcess> process_;
    std::vector<std::wstring> messages_;
};

// Compares the page's controls with its table: kind, text, place, tab order, font family of the
// buttons aside. Returns the differences, empty when there are none.
std::vector<std::string> CompareWithTable(HWND page, wizard::PageId id);

std::wstring MendpackPath();

template <typename F>
std::vector<std::wstring> WizardRun::AnswerMessagesUntil(F done) {
    size_t before = messages_.size();
    wintest::WaitUntil(
        [&] {
            if (done()) return true;
            AnswerOneMessage();
            return false;
        },
        20000);
    return std::vector<std::wstring>(messages_.begin() + static_cast<long>(before), messages_.end());
}

}  // namespace wizdrive

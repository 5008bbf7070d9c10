#pragma once
// The wizard as a whole: its pages (one instance each, made the first time they are shown),
// the shared WizardState, the message boxes and the end of the program.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/error.h"
#include "wizard/pages/page.h"
#include "wizard/services/wizard_state.h"

namespace wizard {

// Thrown to end the program at once from inside a handler; the page's boundary catches it.
struct EndOfProgram {};

constexpr wchar_t kProgramTitle[] = L"GF3D Mendpack";

class Wizard {
  public:
    // How a message reaches the user: by default a modal box captioned "GF3D Mendpack" with only
    // an OK button and no icon, owned by the visible page. Tests put their own here.
    using MessageSink = std::function<void(HWND owner, const std::wstring &text)>;

    Wizard();
    ~Wizard();
    Wizard(const Wizard &) = delete;
    Wizard &operator=(const Wizard &) = delete;

    WizardState State;

    // Shows the first page, runs until the program ends, and returns the exit code.
    int Run();

    // Hide the page that is left, then show the next one.
    void Move(Page &from, PageId to);
    Page &Show(PageId page);
    Page *Find(PageId page) const;

    // Ends the program at once: every page closes, visible or hidden.
    [[noreturn]] void End();
    void Quit();

    void Message(const std::wstring &text);
    void SetMessageSink(MessageSink sink) { messages_ = std::move(sink); }
    // The report of an unexpected failure: its number and description, then the end of the program.
    void ReportError(const mend::Error &error);

    HWND VisiblePage() const;

  private:
    std::unique_ptr<Page> MakePage(PageId id);

    std::map<PageId, std::unique_ptr<Page>> pages_;
    MessageSink messages_;
};

std::wstring ErrorReportText(const mend::Error &error);

} // namespace wizard

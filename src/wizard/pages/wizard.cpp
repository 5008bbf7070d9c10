#include "wizard/pages/wizard.h"

#include "wizard/pages/pages.h"

namespace wizard {

Wizard::Wizard()
    : messages_([](HWND owner, const std::wstring &text) {
          MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK);
      }) {}

Wizard::~Wizard() = default;

std::unique_ptr<Page> Wizard::MakePage(PageId id) {
    switch (id) {
    case PageId::frmStart:
        return std::make_unique<frmStart>(*this);
    case PageId::frmStep1:
        return std::make_unique<frmStep1>(*this);
    case PageId::frmStep2:
        return std::make_unique<frmStep2>(*this);
    case PageId::frmStep3:
        return std::make_unique<frmStep3>(*this);
    case PageId::frmStep4:
        return std::make_unique<frmStep4>(*this);
    case PageId::frmStep5:
        return std::make_unique<frmStep5>(*this);
    case PageId::frmStep6:
        return std::make_unique<frmStep6>(*this);
    case PageId::frmStep8:
        return std::make_unique<frmStep8>(*this);
    case PageId::frmStep9:
        return std::make_unique<frmStep9>(*this);
    case PageId::frmUninstall:
        return std::make_unique<frmUninstall>(*this);
    }
    return nullptr;
}

Page *Wizard::Find(PageId page) const {
    auto it = pages_.find(page);
    return it == pages_.end() ? nullptr : it->second.get();
}

Page &Wizard::Show(PageId id) {
    Page *page = Find(id);
    if (!page) {
        auto made = MakePage(id);
        page = made.get();
        pages_[id] = std::move(made);
        page->Create();
    }
    page->Show();
    return *page;
}

void Wizard::Move(Page &from, PageId to) {
    from.Hide();
    Show(to);
}

void Wizard::End() {
    throw EndOfProgram{};
}

void Wizard::Quit() {
    for (auto &entry : pages_)
        if (entry.second->Hwnd())
            ShowWindow(entry.second->Hwnd(), SW_HIDE);
    PostQuitMessage(0);
}

HWND Wizard::VisiblePage() const {
    for (const auto &entry : pages_)
        if (entry.second->Hwnd() && IsWindowVisible(entry.second->Hwnd()))
            return entry.second->Hwnd();
    return nullptr;
}

void Wizard::Message(const std::wstring &text) {
    messages_(VisiblePage(), text);
}

std::wstring ErrorReportText(const mend::Error &error) {
    return L"Run-time error '" + std::to_wstring(error.Number()) + L"':\n\n" + error.Description();
}

void Wizard::ReportError(const mend::Error &error) {
    messages_(VisiblePage(), ErrorReportText(error));
    Quit();
}

int Wizard::Run() {
    try {
        Show(PageId::frmStart);
    } catch (const mend::Error &e) {
        ReportError(e);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND page = VisiblePage();
        if (page && IsDialogMessageW(page, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    pages_.clear();
    return 0;
}

} // namespace wizard

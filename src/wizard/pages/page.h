#pragma once
// One wizard page: a top-level window with a fixed dialog frame, built from its table in
// page_layouts, that forwards clicks to the page's handlers.
#include <windows.h>

#include <string>

#include "win32/handle.h"
#include "wizard/pages/page_layouts.h"

namespace wizard {

class Wizard;

class Page {
  public:
    Page(Wizard &wizard, PageId id);
    virtual ~Page() = default;
    Page(const Page &) = delete;
    Page &operator=(const Page &) = delete;

    PageId Id() const { return id_; }
    const PageLayout &Layout() const { return LayoutOf(id_); }
    HWND Hwnd() const { return window_.Get(); }

    // Creates the window and its controls, then runs the page's load step. Called once, the first
    // time the page is shown.
    void Create();
    void Show();
    void Hide();

    bool IsChecked(const wchar_t *control) const;
    void SetChecked(const wchar_t *control, bool checked);
    HWND Control(const wchar_t *control) const;

    // The page's handlers: a click on the named control, and the load step.
    virtual void OnClick(const std::wstring &control) = 0;
    virtual void Form_Load() {}

  protected:
    Wizard &wizard_;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Dispatch(const std::wstring &control);

    PageId id_;
    win32::Window window_;
};

} // namespace wizard

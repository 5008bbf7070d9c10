#include "wizard_driver.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "support/gui.h"

using namespace wintest;
using wizard::ControlKind;
using wizard::PageId;

namespace wizdrive {

GameFolder::GameFolder() : TempFolder(L"game") {
    WriteFile(*this / L"falcon.exe", "stand-in game");
    WriteFile(*this / L"1078patch Readme .txt", "patched");
}

std::wstring MendpackPath() { return ProgramFolder() + L"\\mendpack.exe"; }

WizardRun::WizardRun(const std::wstring& folder)
    : process_(std::make_unique<ChildProcess>(MendpackPath(), L"", folder)) {}

std::optional<PageId> WizardRun::PageOf(HWND window) {
    std::vector<ControlInfo> children = ChildControls(window);
    for (PageId id : wizard::AllPages()) {
        auto ordered = wizard::LayoutOf(id).InTabOrder();
        if (ordered.size() != children.size()) continue;
        bool same = true;
        for (size_t i = 0; i < ordered.size() && same; ++i) same = children[i].text == ordered[i]->text;
        if (same && WindowText(window) == wizard::LayoutOf(id).caption) return id;
    }
    return std::nullopt;
}

HWND WizardRun::WaitForPage(PageId expected) {
    HWND found = nullptr;
    std::vector<HWND> visible;
    bool ok = WaitUntil([&] {
        visible.clear();
        for (HWND w : VisibleTopWindows(process_->Id()))
            if (WindowClass(w) != L"#32770") visible.push_back(w);
        if (visible.size() != 1) return false;
        auto page = PageOf(visible[0]);
        if (!page || *page != expected) return false;
        found = visible[0];
        return true;
    });
    if (!ok) {
        std::wstring shown;
        for (HWND w : visible) shown += L"[" + WindowText(w) + L"] ";
        ADD_FAILURE() << "page " << mend::Utf8FromWide(wizard::LayoutOf(expected).name) << " did not show alone; "
                      << visible.size() << " visible: " << mend::Utf8FromWide(shown);
        return nullptr;
    }
    return found;
}

void WizardRun::Click(HWND page, PageId id, const std::wstring& control) {
    const wizard::ControlLayout* layout = wizard::LayoutOf(id).Find(control);
    ASSERT_NE(layout, nullptr) << mend::Utf8FromWide(control);
    ASSERT_TRUE(wintest::Click(page, wizard::ControlId(*layout))) << mend::Utf8FromWide(control);
}

HWND WizardRun::Advance(HWND page, PageId id, const std::wstring& control, PageId next) {
    Click(page, id, control);
    HWND shown = nullptr;
    AnswerMessagesUntil([&] {
        for (HWND w : VisibleTopWindows(process_->Id()))
            if (WindowClass(w) != L"#32770" && PageOf(w) == next) shown = w;
        return shown != nullptr;
    });
    return WaitForPage(next);
}

bool WizardRun::IsChecked(HWND page, PageId id, const std::wstring& control) {
    auto info = FindControl(page, wizard::ControlId(*wizard::LayoutOf(id).Find(control)));
    return info && info->Checked();
}

void WizardRun::SetAnswers(HWND step2, const wizard::Answers& a) {
    const std::pair<const wchar_t*, int16_t> boxes[] = {
        {L"chkWinXP", a.WinXP}, {L"chkCPUspeed", a.CPUspeed}, {L"chkNVidia", a.NVidia}, {L"chkVideoMem", a.VideoMem}};
    for (auto [name, want] : boxes) {
        if (IsChecked(step2, PageId::frmStep2, name) != (want != 0)) Click(step2, PageId::frmStep2, name);
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(step2, PageId::frmStep2, name) == (want != 0); }))
            << mend::Utf8FromWide(name);
    }
}

bool WizardRun::AnswerOneMessage() {
    auto box = WaitForMessageBox(L"GF3D Mendpack", process_->Id(), 0);
    if (!box) return false;
    messages_.push_back(box->text);
    PressOk(box->window);
    return true;
}

bool WizardRun::WaitForExit(DWORD* exitCode) {
    return WaitUntil([&] { return ProcessEnded(process_->Handle(), exitCode); }, 10000);
}

namespace {

std::string Name(const wizard::ControlLayout& c) { return mend::Utf8FromWide(c.name); }

bool KindMatches(const ControlInfo& info, ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return info.className == L"Static";
    case ControlKind::CheckBox:
        return info.className == L"Button" && info.ButtonType() == BS_AUTOCHECKBOX;
    case ControlKind::OptionButton:
        return info.className == L"Button" && info.ButtonType() == BS_AUTORADIOBUTTON;
    case ControlKind::Button:
        return info.className == L"Button" &&
               (info.ButtonType() == BS_PUSHBUTTON || info.ButtonType() == BS_DEFPUSHBUTTON);
    }
    return false;
}

}  // namespace

std::vector<std::string> CompareWithTable(HWND page, PageId id) {
    std::vector<std::string> differences;
    const wizard::PageLayout& layout = wizard::LayoutOf(id);
    auto ordered = layout.InTabOrder();
    std::vector<ControlInfo> children = ChildControls(page);
    if (children.size() != ordered.size()) {
        differences.push_back("control count " + std::to_string(children.size()) + ", table " +
                              std::to_string(ordered.size()));
        return differences;
    }
    int dpi = ScreenDpi();
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, wizard::kTwipsPerInch); };
    RECT client;
    GetClientRect(page, &client);
    if (client.right != px(layout.clientWidth) || client.bottom != px(layout.clientHeight))
        differences.push_back("client area " + mend::Utf8FromWide(Describe(client)));
    if (WindowText(page) != layout.caption) differences.push_back("caption " + mend::Utf8FromWide(WindowText(page)));
    LONG style = GetWindowLongW(page, GWL_STYLE);
    if (style & WS_THICKFRAME) differences.push_back("page can be resized");
    for (size_t i = 0; i < ordered.size(); ++i) {
        const wizard::ControlLayout& c = *ordered[i];
        const ControlInfo& info = children[i];
        std::string where = Name(c) + " (tab " + std::to_string(c.tab) + ")";
        if (!KindMatches(info, c.kind)) differences.push_back(where + ": kind " + mend::Utf8FromWide(info.className));
        if (info.text != c.text) differences.push_back(where + ": text " + mend::Utf8FromWide(info.text));
        RECT want{px(c.left), px(c.top), px(c.left) + px(c.width), px(c.top) + px(c.height)};
        if (!EqualRect(&want, &info.rect))
            differences.push_back(where + ": at " + mend::Utf8FromWide(Describe(info.rect)) + ", table " +
                                  mend::Utf8FromWide(Describe(want)));
        bool tabStop = (info.style & WS_TABSTOP) != 0;
        if (tabStop != (c.kind != ControlKind::Label)) differences.push_back(where + ": tab stop");
        if (!info.visible) differences.push_back(where + ": hidden");
    }
    return differences;
}

}  // namespace wizdrive

#include "wizard/pages/pages.h"
#include "wizard/pages/routing.h"
#include "wizard/pages/wizard.h"

namespace wizard {

void frmStart::OnClick(const std::wstring &control) {
    if (control == L"NextStart")
        wizard_.Move(*this, PageId::frmStep1);
    if (control == L"ExitStart")
        wizard_.End();
}

void frmStep1::Form_Load() {
    SetChecked(L"btnInstall", true);
}

void frmStep1::OnClick(const std::wstring &control) {
    if (control == L"Next")
        Next_Click();
    if (control == L"Exit")
        Exit_Click();
}

void frmStep1::Next_Click() {
    if (IsChecked(L"btnInstall")) {
        GetGFSysInfo(); // may end the program instead of returning
        wizard_.Move(*this, PageId::frmStep2);
    } else {
        wizard_.Move(*this, PageId::frmUninstall);
    }
}

void frmStep1::Exit_Click() {
    wizard_.End();
}

void frmStep2::Form_Load() {
    if (PreTickWinXP(wizard_.State))
        SetChecked(L"chkWinXP", true);
    if (PreTickNVidia(wizard_.State))
        SetChecked(L"chkNVidia", true);
}

void frmStep2::OnClick(const std::wstring &control) {
    if (control == L"Next")
        Next_Click();
    if (control == L"Exit")
        wizard_.End();
}

void frmStep2::Next_Click() {
    auto box = [this](const wchar_t *name) { return static_cast<int16_t>(IsChecked(name) ? 1 : 0); };
    Answers answers;
    answers.WinXP = box(L"chkWinXP");
    answers.CPUspeed = box(L"chkCPUspeed");
    answers.NVidia = box(L"chkNVidia");
    answers.VideoMem = box(L"chkVideoMem");
    wizard_.State.StoreAnswers(answers);
    wizard_.Move(*this, NextPage(Id(), wizard_.State.GetAnswers()));
}

} // namespace wizard

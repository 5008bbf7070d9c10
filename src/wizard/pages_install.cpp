#include "wizard/pages.h"
#include "wizard/routing.h"
#include "wizard/wizard.h"

namespace wizard {

void InstallPage::OnClick(const std::wstring& control) {
    if (control == L"Next") Next_Click();
    if (control == L"Skip") Skip_Click();
    if (control == L"Exit") Exit_Click();
}

void InstallPage::Next_Click() {
    InstallWork();
    NextStep();
}

void InstallPage::Skip_Click() { NextStep(); }

void InstallPage::Exit_Click() { wizard_.End(); }

void InstallPage::NextStep() { wizard_.Move(*this, NextPage(Id(), wizard_.State.GetAnswers())); }

void frmStep9::OnClick(const std::wstring& control) {
    if (control == L"Exit") wizard_.End();
}

void frmUninstall::OnClick(const std::wstring& control) {
    if (control == L"Next") Next_Click();
    if (control == L"Exit") wizard_.End();
}

void frmUninstall::Next_Click() { wizard_.End(); }

}  // namespace wizard

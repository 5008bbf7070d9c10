#include "installers/install_work.h"
#include "wizard/pages/pages.h"
#include "wizard/pages/routing.h"
#include "wizard/pages/wizard.h"

namespace wizard {

void InstallPage::OnClick(const std::wstring &control) {
    if (control == L"Next")
        Next_Click();
    if (control == L"Skip")
        Skip_Click();
    if (control == L"Exit")
        Exit_Click();
}

void InstallPage::Next_Click() {
    InstallWork();
    NextStep();
}

void InstallPage::Skip_Click() {
    NextStep();
}

void InstallPage::Exit_Click() {
    wizard_.End();
}

void InstallPage::NextStep() {
    wizard_.Move(*this, NextPage(Id(), wizard_.State.GetAnswers()));
}

namespace {
installers::Messenger MessagesOf(Wizard &wizard) {
    return [&wizard](const std::wstring &text) { wizard.Message(text); };
}
} // namespace

void frmStep3::Form_Load() {
    m_cUnzip = std::make_unique<cUnzip>();
}

void frmStep3::InstallWork() {
    installers::InstallLauncher(*m_cUnzip, MessagesOf(wizard_));
}

void frmStep4::InstallWork() {
    m_cUnzip = std::make_unique<cUnzip>();
    installers::InstallTurbo(*m_cUnzip, MessagesOf(wizard_));
}

void frmStep5::InstallWork() {
    installers::InstallGlideEmulator(installers::DgVoodoo(), wizard_.State, MessagesOf(wizard_));
}

void frmStep6::InstallWork() {
    installers::InstallGlideEmulator(installers::GlideOS(), wizard_.State, MessagesOf(wizard_));
}

void frmStep8::InstallWork() {
    installers::InstallPresets(wizard_.State, MessagesOf(wizard_));
}

void frmStep9::OnClick(const std::wstring &control) {
    if (control == L"Exit")
        wizard_.End();
}

void frmUninstall::OnClick(const std::wstring &control) {
    if (control == L"Next")
        Next_Click();
    if (control == L"Exit")
        Exit_Click();
}

void frmUninstall::Next_Click() {
    installers::Uninstall(wizard_.State, MessagesOf(wizard_));
    wizard_.End();
}

void frmUninstall::Exit_Click() {
    wizard_.End();
}

} // namespace wizard

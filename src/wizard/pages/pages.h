#pragma once
// The wizard's pages and their handlers, under the pages' own names.
#include <memory>

#include "unzip/unzip.h"
#include "wizard/pages/page.h"

namespace wizard {

class frmStart : public Page {
  public:
    explicit frmStart(Wizard &w) : Page(w, PageId::frmStart) {}
    void OnClick(const std::wstring &control) override;
};

class frmStep1 : public Page {
  public:
    explicit frmStep1(Wizard &w) : Page(w, PageId::frmStep1) {}
    void Form_Load() override;
    void OnClick(const std::wstring &control) override;
    void Next_Click();
    void Exit_Click();
    // The system and game-folder checks, run when the user leaves this page on the install path.
    void GetGFSysInfo();
    void GetVideoMfg();

    // The archive reader of the 1078 patch step; empty until that step runs.
    std::unique_ptr<cUnzip> m_cUnzip;
};

class frmStep2 : public Page {
  public:
    explicit frmStep2(Wizard &w) : Page(w, PageId::frmStep2) {}
    void Form_Load() override;
    void OnClick(const std::wstring &control) override;
    void Next_Click();
};

// The pages that install one fix each. Next runs the page's work, which ends with one message,
// then NextStep; Skip goes to NextStep at once.
class InstallPage : public Page {
  public:
    using Page::Page;
    void OnClick(const std::wstring &control) override;
    void Next_Click();
    void Skip_Click();
    void Exit_Click();
    // Hides this page and shows the next one the answers call for.
    void NextStep();

  protected:
    // The page's own work on the game folder.
    virtual void InstallWork() {}
};

// The sound-fix launcher and its desktop shortcut.
class frmStep3 : public InstallPage {
  public:
    explicit frmStep3(Wizard &w) : InstallPage(w, PageId::frmStep3) {}
    void Form_Load() override;

    // The page's archive reader, made when the page loads and used by every press of Next.
    std::unique_ptr<cUnzip> m_cUnzip;

  protected:
    void InstallWork() override;
};

// The CPU slow-down tool "Turbo".
class frmStep4 : public InstallPage {
  public:
    explicit frmStep4(Wizard &w) : InstallPage(w, PageId::frmStep4) {}

    // A new reader for each press of Next; it lives on until the next press.
    std::unique_ptr<cUnzip> m_cUnzip;

  protected:
    void InstallWork() override;
};

// The Glide emulator "dgvoodoo".
class frmStep5 : public InstallPage {
  public:
    explicit frmStep5(Wizard &w) : InstallPage(w, PageId::frmStep5) {}

  protected:
    void InstallWork() override;
};

// The Glide emulator "GlideOS".
class frmStep6 : public InstallPage {
  public:
    explicit frmStep6(Wizard &w) : InstallPage(w, PageId::frmStep6) {}

  protected:
    void InstallWork() override;
};

// The pre-configured preference files, after a backup of the player's own.
class frmStep8 : public InstallPage {
  public:
    explicit frmStep8(Wizard &w) : InstallPage(w, PageId::frmStep8) {}

  protected:
    void InstallWork() override;
};

class frmStep9 : public Page {
  public:
    explicit frmStep9(Wizard &w) : Page(w, PageId::frmStep9) {}
    void OnClick(const std::wstring &control) override;
};

class frmUninstall : public Page {
  public:
    explicit frmUninstall(Wizard &w) : Page(w, PageId::frmUninstall) {}
    void OnClick(const std::wstring &control) override;
    // Removes the kit, restores the player's preferences, and ends the program.
    void Next_Click();
    void Exit_Click();
};

} // namespace wizard

#pragma once
// Runs the wizard's own install and uninstall pages in this process, in a temporary game folder
// that is the current directory, and records the messages they show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folder_contents.h"
#include "kit.h"
#include "support/temp_folder.h"
#include "win32/com.h"
#include "wine_menu_builder.h"
#include "wizard/file_system.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace kittest {

// What a shortcut file says, read back through the system's shell link object.
struct ShortcutFields {
    std::wstring target;
    std::wstring workingDirectory;
    std::wstring description;
    int showCommand = -1;
};
ShortcutFields ReadShortcut(const std::wstring &file);

class PageTest : public ::testing::Test {
  protected:
    PageTest();
    ~PageTest() override;

    void WriteKit(const std::vector<ZipMember> &members, const std::wstring &name = L"MendpackFiles.zip");
    void WriteGameFile(const std::wstring &relative, const std::string &bytes, bool readOnly = false);
    std::string GameFile(const std::wstring &relative) const { return wintest::ReadFile(game / relative); }
    bool HasGameFile(const std::wstring &relative) const { return wintest::Exists(game / relative); }

    // Shows the page alone, as the wizard would when it gets there.
    template <typename P> P &Show(wizard::PageId id) {
        for (wizard::PageId other : wizard::AllPages())
            if (wizard::Page *page = wizard.Find(other); page && other != id)
                page->Hide();
        return dynamic_cast<P &>(wizard.Show(id));
    }
    // Next on an install page; checks that exactly `message` was shown while the page was still
    // the visible one, and that `next` is the page showing afterwards.
    void NextShows(wizard::InstallPage &page, const std::wstring &message, wizard::PageId next);
    wizard::PageId VisiblePage() const;

    static std::wstring DesktopShortcut();

    NoWineMenuBuilder noMenuBuilder;
    win32::ComApartment com;
    wintest::TempFolder game{L"game"};
    wintest::CurrentDirectory inGame{game.Path()};
    wizard::Wizard wizard;
    std::vector<std::wstring> messages;
    std::vector<HWND> messageOwners;
};

} // namespace kittest

#pragma once
// Runs the wizard's own pages in this process, in a temporary game folder that is the current
// directory. Buttons are clicked through the page windows, so that a failure meets the pages' own
// error report; messages are recorded instead of shown.
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "common/text.h"
#include "folder_contents.h"
#include "support/temp_folder.h"
#include "win32/com.h"
#include "wizard/pages/pages.h"
#include "wizard/pages/wizard.h"
#include "zip_builder.h"

namespace kittest {

using wizard::PageId;
using ZipMember = ziptest::Member;

// Stand-ins for the kit's members, binary like the real ones, whose bytes tell them apart; the
// patch program is one that no install page wants.
inline std::string Payload(const std::string &member) {
    return "MZ the kit's " + member + std::string("\0\x01\xff", 3);
}
inline std::vector<ZipMember> FullKit() {
    std::vector<ZipMember> kit;
    for (const char *name :
         {"Nightjar.exe", "Nightjar.htm", "Turbo.EXE", "Turbo.HLP", "dgvoodoo sync glide2x.dll",
          "OS Glide2x.dll", "OpenGLid.INI", "gfprefs.dat", "mpprefs.dat", "GF3D1078.EXE"})
        kit.emplace_back(name, Payload(name));
    return kit;
}
// The player's own preference files, as the game left them.
inline std::string PlayerPrefs(char which) {
    return std::string("player's own prefs ") + which + std::string("\0\x7f\xff", 3);
}

// Archive members and folder contents written "name=bytes" ("Data\\Multi\\" alone for an empty
// folder); a folder's parent folders are part of its contents.
template <typename... Entries> std::vector<ZipMember> Kit(const Entries &...entries) {
    std::vector<ZipMember> members;
    for (const std::string &e : {std::string(entries)...})
        members.emplace_back(e.substr(0, e.find('=')), e.substr(e.find('=') + 1));
    return members;
}
template <typename... Entries> FolderContents Files(const Entries &...entries) {
    FolderContents files;
    for (const ZipMember &m : Kit(entries...)) {
        const std::wstring name = mend::WideFromUtf8(m.name);
        for (size_t slash = name.find(L'\\'); slash != name.npos; slash = name.find(L'\\', slash + 1))
            files[name.substr(0, slash + 1)];
        if (name.back() != L'\\')
            files[name] = m.data;
    }
    return files;
}

// An error report as recorded: its number and, in brackets, what was done to which file; the
// system's own words for the error are left out.
inline std::wstring ErrorReport(long number, const std::wstring &what) {
    return L"Run-time error '" + std::to_wstring(number) + L"':\n\n(" + what + L")";
}

class PageTest : public ::testing::Test {
  protected:
    // The game folder is made under `gameParent`, by default the session's temporary folder.
    explicit PageTest(const std::wstring &gameParent = {}) : game(L"game", gameParent), inGame(game.Path()) {
        // Wine hands every shortcut saved on the desktop to its menu builder, a process of its own
        // that reads the target while the test goes on and races with a page that deletes it.
        // Windows has no such reader.
        SHSetValueW(HKEY_CURRENT_USER, kOverrides, kMenuBuilder, REG_SZ, L"", sizeof(wchar_t));
        NewRun();
        ClearDesktop();
    }
    ~PageTest() override {
        ClearDesktop();
        SHDeleteValueW(HKEY_CURRENT_USER, kOverrides, kMenuBuilder);
    }

    void NewRun() {
        wizard = std::make_unique<wizard::Wizard>();
        wizard->SetMessageSink([this](HWND owner, const std::wstring &text) {
            const size_t description = text.find(L"\n\n") + 2, what = text.rfind(L" (");
            const bool report = text.rfind(L"Run-time error", 0) == 0 && description < text.size();
            const bool named = report && what != text.npos && what > description;
            messages.push_back(report ? text.substr(0, description) + (named ? text.substr(what + 1) : L"")
                                      : text);
            EXPECT_EQ(owner, pressed) << "a message after the next page";
        });
    }

    static void ClearDesktop() {
        SetFileAttributesW(LauncherShortcut().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(LauncherShortcut().c_str());
    }

    // Writes into the game folder as Contents reads it: "name\\" is a folder, "name*" a read-only file.
    void Put(const FolderContents &files) {
        for (const auto &[name, bytes] : files) {
            std::wstring path = game / name;
            const wchar_t mark = path.back();
            if (mark == L'\\' || mark == L'*')
                path.pop_back();
            wintest::MakeFolders(mark == L'\\' ? path : path.substr(0, path.find_last_of(L'\\')));
            if (mark != L'\\')
                wintest::WriteFile(path, bytes);
            if (mark == L'*')
                wintest::SetReadOnly(path, true);
        }
    }
    void WriteKit(const std::vector<ZipMember> &members) {
        Put({{L"MendpackFiles.zip", ziptest::Build(members)}});
    }

    // Clicks a button of a page shown alone; checks that exactly `shown` came up while the page was
    // still the visible one, then that `next` is the page showing (none: the wizard ended).
    void Press(PageId id, const wchar_t *button, const std::vector<std::wstring> &shown,
               std::optional<PageId> next) {
        for (PageId other : wizard::AllPages())
            if (wizard::Page *page = wizard->Find(other); page && other != id)
                page->Hide();
        wizard::Page &page = wizard->Show(id);
        messages.clear();
        pressed = page.Hwnd();
        SendMessageW(page.Hwnd(), WM_COMMAND,
                     MAKEWPARAM(wizard::ControlId(*page.Layout().Find(button)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(page.Control(button)));
        EXPECT_EQ(messages, shown);
        MSG quit;
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, !next)
            << "the end of the wizard";
        wizard::Page *expected = next ? wizard->Find(*next) : nullptr;
        EXPECT_EQ(wizard->VisiblePage(), expected ? expected->Hwnd() : nullptr);
        EXPECT_EQ(expected != nullptr, next.has_value()) << "the next page was never shown";
    }

    // Next on `page` in a game folder holding `kit` as the kit archive (none when empty) and
    // `before`; afterwards the folder holds the archive and `after`, byte for byte, and the desktop
    // holds the launcher's shortcut exactly when the page said it made one. With every answer
    // unticked, each install page leads to the presets page and that one to the last.
    struct Outcome {
        const char *what;
        std::vector<ZipMember> kit;
        FolderContents before;
        std::wstring message;
        FolderContents after;
    };
    void ExpectOutcomes(PageId page, const std::vector<Outcome> &cases) {
        for (const Outcome &c : cases) {
            SCOPED_TRACE(c.what);
            for (const std::wstring &name : wintest::List(game.Path())) {
                SetFileAttributesW((game / name).c_str(), FILE_ATTRIBUTE_NORMAL);
                wintest::RemoveTree(game / name);
                DeleteFileW((game / name).c_str());
            }
            ClearDesktop();
            if (page == PageId::frmUninstall)
                wintest::WriteFile(LauncherShortcut(), "the launcher's shortcut");
            FolderContents expected = c.after;
            if (!c.kit.empty()) {
                WriteKit(c.kit);
                expected[L"MendpackFiles.zip"] = ziptest::Build(c.kit);
            }
            Put(c.before);
            const bool ends = page == PageId::frmUninstall || c.message.rfind(L"Run-time error", 0) == 0;
            Press(page, L"Next", {c.message},
                  ends ? std::nullopt
                       : std::optional(page == PageId::frmStep8 ? PageId::frmStep9 : PageId::frmStep8));
            EXPECT_EQ(Contents(game.Path()), expected);
            const bool made = c.message.find(L"shortcut to desktop created") != c.message.npos;
            EXPECT_EQ(wintest::Exists(LauncherShortcut()), made);
            if (made)
                KeepShortcutForLnkinfo();
        }
    }
    // For the independent .lnk reader (check_shortcut.sh), with the game folder it must name.
    void KeepShortcutForLnkinfo() {
        CopyFileW(LauncherShortcut().c_str(),
                  (wintest::ProgramFolder() + L"\\installers-Nightjar.lnk").c_str(), FALSE);
        wintest::WriteFile(wintest::ProgramFolder() + L"\\installers-Nightjar.folder",
                           mend::Utf8FromWide(game.Path()));
    }

    static constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides",
                             kMenuBuilder[] = L"winemenubuilder.exe";
    win32::ComApartment com;
    wintest::TempFolder game;
    wintest::CurrentDirectory inGame;
    std::unique_ptr<wizard::Wizard> wizard;
    std::vector<std::wstring> messages;
    HWND pressed = nullptr;
};

} // namespace kittest

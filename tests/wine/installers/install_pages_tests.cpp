// frmStep1's checks, the install pages and the uninstall page, run in this process on temporary game
// folders with kit archives that the tests write, extracted through the real vbuzip10.dll. Next is
// clicked through the page window, so that a failure meets the page's own error report; messages
// are recorded instead of shown.
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <tuple>

#include "common/text.h"
#include "folder_contents.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "win32/com.h"
#include "win32/handle.h"
#include "wizard/pages/wizard.h"
#include "zip_builder.h"

using namespace kittest;
using P = wizard::PageId;

namespace {

// Stand-ins for the kit's members, binary like the real ones, whose bytes tell them apart.
std::string Payload(const std::string &member) {
    return "MZ the kit's " + member + std::string("\0\x01\xff", 3);
}
std::vector<ziptest::Member> FullKit() {
    std::vector<ziptest::Member> kit;
    for (const char *name :
         {"Nightjar.exe", "Nightjar.htm", "Turbo.EXE", "Turbo.HLP", "dgvoodoo sync glide2x.dll",
          "OS Glide2x.dll", "OpenGLid.INI", "gfprefs.dat", "mpprefs.dat", "GF3D1078.EXE"})
        kit.emplace_back(name, Payload(name));
    return kit;
}
// The player's own preference files, as the game left them.
std::string PlayerPrefs(char which) {
    return std::string("player's own prefs ") + which + std::string("\0\x7f\xff", 3);
}

// Archive members and folder contents written "name=bytes" ("Data\\Multi\\=" for an empty folder, "name*="
// for a read-only file, and before a page "name!=" for one that a running program holds, shared with nobody);
// a folder's parent folders are part of its contents.
template <typename... Entries> std::vector<ziptest::Member> Kit(const Entries &...entries) {
    std::vector<ziptest::Member> members;
    for (const std::string &e : std::initializer_list<std::string>{entries...})
        members.emplace_back(e.substr(0, e.find('=')), e.substr(e.find('=') + 1));
    return members;
}
template <typename... Entries> FolderContents Files(const Entries &...entries) {
    FolderContents files;
    for (const ziptest::Member &m : Kit(entries...)) {
        const std::wstring name = mend::WideFromUtf8(m.name);
        for (size_t slash = name.find(L'\\'); slash != name.npos; slash = name.find(L'\\', slash + 1))
            files[name.substr(0, slash + 1)];
        files[name] = m.data;
    }
    return files;
}

// An error report as recorded: its number and, in brackets, what was done to which file; the
// system's own words for the error are left out.
std::wstring ErrorReport(long number, const std::wstring &what) {
    return L"Run-time error '" + std::to_wstring(number) + L"':\n\n(" + what + L")";
}

const std::wstring kNotTheGameFolder = L"Please install GF3D, or if it is installed, unzip and run the "
                                       L"Mendpack wizard from your GaleFalcon3D folder.";
const std::wstring kLauncherInstalled = L"Nightjar.exe installed, shortcut to desktop created";
const std::wstring kNoLauncher = L"Error -- Nightjar file not found",
                   kUninstalled = L"Mendpack programs uninstalled";
const std::string kPlayerGf = "Data\\gfprefs.dat=" + PlayerPrefs('s'),
                  kPlayerMp = "Data\\Multi\\mpprefs.dat=" + PlayerPrefs('m'),
                  kGfKept = "Data\\wgfprefs.bak=" + PlayerPrefs('s');

struct Outcome {
    P page;
    const char *what;
    std::vector<ziptest::Member> kit; // the kit archive; none when empty
    FolderContents before;
    std::wstring messages; // one after the other, each after " + "
    FolderContents after;  // and the kit archive
};

// Next on the row's page in a new game folder, in the session's temporary folder or on the small file
// system `parent`, which is filled up first. Then: the messages, each while the page is shown; the next
// page shown, or the wizard's end after an error report, the uninstall and a folder without the game; the
// folder byte for byte; and the launcher's shortcut on the desktop exactly when the page said it made one,
// with the fields the launcher needs.
void ExpectOutcomes(const std::vector<Outcome> &rows, const std::wstring &parent = {}) {
    win32::ComApartment com;
    // frmStep1's devices, in the PCI list of Windows 10, as which Wine answers (which lists keys in
    // sorted order): the last instance with a display class, in any case, gives the maker.
    const wchar_t *const pci[][3] = {{L"Enum\\PCI\\VEN_10DE\\1", L"display", L"Matrox"},
                                     {L"Enum\\PCI\\VEN_10DE\\2", L"DISPLAY", L"nVidia Corporation"},
                                     {L"Enum\\PCI\\VEN_8086\\1", L"System", L"Intel"}};
    for (const auto &[key, kind, maker] : pci) {
        SHSetValueW(HKEY_LOCAL_MACHINE, key, L"Class", REG_SZ, kind, DWORD(wcslen(kind) + 1) * 2);
        SHSetValueW(HKEY_LOCAL_MACHINE, key, L"Mfg", REG_SZ, maker, DWORD(wcslen(maker) + 1) * 2);
    }
    const std::wstring shortcut = LauncherShortcut();
    for (const Outcome &c : rows) {
        SCOPED_TRACE(c.what);
        DeleteFileW(shortcut.c_str());
        if (c.page == P::frmUninstall)
            wintest::WriteFile(shortcut, "the launcher's shortcut");
        // A folder in the shortcut's place for the row whose shortcut cannot be saved.
        if (c.messages.find(L"(save ") != c.messages.npos)
            CreateDirectoryW(shortcut.c_str(), nullptr);
        wintest::TempFolder game(L"game", parent);
        wintest::CurrentDirectory inGame(game.Path());
        FolderContents before = c.before, after = c.after;
        if (!c.kit.empty())
            before[L"MendpackFiles.zip"] = after[L"MendpackFiles.zip"] = ziptest::Build(c.kit);
        std::vector<win32::Handle> held;
        for (const auto &[name, bytes] : before) {
            const std::wstring path = game / name.substr(0, name.find_last_not_of(L"\\*!") + 1);
            name.back() == L'\\' ? wintest::MakeFolders(path) : wintest::WriteFile(path, bytes);
            wintest::SetReadOnly(path, name.back() == L'*');
            if (name.back() == L'!')
                held.emplace_back(
                    CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        // On the small file system, what the game folder leaves of it is filled up.
        wintest::TempFolder filler(L"filler", parent);
        if (!parent.empty())
            std::ofstream(std::filesystem::path(filler / L"f")) << std::string(2 << 20, 'f');

        std::wstring messages;
        wizard::Wizard wizard;
        wizard::Page &shown = wizard.Show(c.page);
        wizard.SetMessageSink([&](HWND owner, const std::wstring &text) {
            const size_t words = text.find(L"\n\n") + 2, file = text.rfind(L" (");
            const bool named = text.rfind(L"Run-time error", 0) == 0 && file != text.npos && file > words;
            messages += (messages.empty() ? L"" : L" + ") +
                        (named ? text.substr(0, words) + text.substr(file + 1) : text);
            EXPECT_EQ(owner, shown.Hwnd()) << "a message after the next page";
        });
        SendMessageW(shown.Control(L"Next"), BM_CLICK, 0, 0);
        held.clear();
        RemoveDirectoryW(shortcut.c_str());
        EXPECT_EQ(messages, c.messages);
        const bool ends = c.page == P::frmUninstall || c.messages == kNotTheGameFolder ||
                          c.messages.find(L"Run-time error") != c.messages.npos;
        MSG quit;
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, ends) << "the end";
        EXPECT_EQ(wizard.VisiblePage() == nullptr, ends) << "the next page (the journey checks which)";
        EXPECT_TRUE(c.page != P::frmStep1 || ends || wizard.Find(P::frmStep2)->IsChecked(L"chkNVidia"))
            << "the video maker";
        // A program the page started may still be writing.
        wintest::WaitUntil([&] { return Contents(game.Path()) == after; });
        EXPECT_EQ(Contents(game.Path()), after);
        const bool made = c.messages == kLauncherInstalled;
        EXPECT_EQ(wintest::Exists(shortcut), made);
        if (made) {
            const ShortcutFields link = ReadShortcut(shortcut);
            EXPECT_EQ(std::tie(link.target, link.workingDirectory, link.description),
                      std::make_tuple(game / L"Nightjar.EXE", game.Path(), std::wstring(L"Nightjar")));
        }
    }
    DeleteFileW(shortcut.c_str());
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\PCI");
}

// frmStep1: in the game folder, the patch comes out of the kit and starts on every run until its readme
// is there (the game stand-in plays it and logs every start; the journey runs it the first time, the GUI
// walks pass a folder with the readme); a folder without the game ends the wizard.
// frmStep3: the kit archive is the first file matching "Mend*.zip" in its long name, the members are
// taken by their exact names from any folder of it.
// frmStep4: the library will not replace a read-only file, and says so; the player's files stay kept, or,
// when one cannot be kept, none is.
// frmStep5 and frmStep6: the library is put in place as glide2x.dll; GlideOS's settings file comes with it,
// even without the library. The other emulator's library is the kit's own. (The journey replaces the
// player's glide2x.dll and OpenGLid.INI and keeps them.)
// frmStep8: both backups are made before either file is replaced; a copy keeps the read-only mark; an
// existing backup is the player's from before the kit. (The journey backs up the player's files.)
// frmUninstall: the player's own files come back with their attributes and the kit's own go, read-only
// (frozen by the launcher) or not; a file of the player's that no page replaced (nothing kept of it) is
// no kit file and stays; the folder as the uninstall left it is left alone by a second run.
TEST(Pages, NextDoesThePagesWorkKeepsThePlayersFilesAndNamesWhatFailed) {
    const std::string patch =
        "GF3D1078.EXE=" + wintest::ReadFile(wintest::ProgramFolder() + L"\\game_stand_in.exe");
    const std::string game = "falcon.exe=game", started = "launches.txt=GF3D1078.EXE|\r\n";
    const std::wstring patchMessage = L"Please click OK to install the GF3D 1078 patch, then continue with "
                                      L"this wizard after 1078 completes.";
    const std::string mendA = "mendA.ZIP=" + ziptest::Build(Kit("Nightjar.exe=A")),
                      zipx = "Mendpack.zipx=" + ziptest::Build(FullKit());
    const std::string dg = "glide2x.dll=" + Payload("dgvoodoo sync glide2x.dll"),
                      os = "glide2x.dll=" + Payload("OS Glide2x.dll"),
                      ini = "OpenGLid.INI=" + Payload("OpenGLid.INI");
    const std::string gf = "Data\\gfprefs.dat=" + Payload("gfprefs.dat"),
                      mp = "Data\\Multi\\mpprefs.dat=" + Payload("mpprefs.dat");
    const FolderContents frozen =
        Files("Data\\gfprefs.dat*=" + PlayerPrefs('s'), "Data\\Multi\\mpprefs.dat*=" + PlayerPrefs('m'),
              "Data\\wgfprefs.bak=an older backup");
    const std::wstring presetsDone = L"Pre-configured GF preference files installed";
    const std::wstring noPresets = L"Error -- preference files not found";
    const std::string untouched[] = {"OpenGLid.INI=the player's, never replaced",
                                     "Mendpack Backup\\notes.txt=the player's own",
                                     "gfprefs.dat=not the kit's"};
    const FolderContents restored = Files(kPlayerGf, kPlayerMp, "Turbo.EXE*=the player's Turbo", untouched[0],
                                          untouched[1], untouched[2]);
    const FolderContents installed =
        Files(kGfKept, gf, "Data\\Multi\\wmpprefs.bak=" + PlayerPrefs('m'),
              "Data\\Multi\\mpprefs.dat*=" + Payload("mpprefs.dat"),
              "glide2x.dll*=" + Payload("dgvoodoo sync glide2x.dll"),
              "Nightjar.exe=" + Payload("Nightjar.exe"), "Nightjar.htm=" + Payload("Nightjar.htm"),
              "Turbo.EXE=" + Payload("Turbo.EXE"), "Turbo.HLP*=" + Payload("Turbo.HLP"),
              "Mendpack Backup\\Turbo.EXE*=the player's Turbo", untouched[0], untouched[1], untouched[2]);
    ExpectOutcomes({
        {P::frmStep1, "no game", FullKit(), Files(), kNotTheGameFolder, Files()},
        {P::frmStep1, "a kit whose patch has another letter case", Kit("gf3d1078.exe=x", "Nightjar.exe=x"),
         Files(game), patchMessage + L" + " + ErrorReport(ERROR_FILE_NOT_FOUND, L"start GF3D1078.EXE"),
         Files(game)},
        {P::frmStep1, "the patch again", Kit(patch), Files(game, patch, started), patchMessage,
         Files(game, patch, started + "GF3D1078.EXE|\r\n")},
        {P::frmStep3, "inside folders", Kit("Bin/Nightjar.exe=launcher", "Help/en/Nightjar.htm=help"),
         Files(), kLauncherInstalled, Files("Nightjar.exe=launcher", "Nightjar.htm=help")},
        {P::frmStep3, "another name matching Mend*.zip beside a folder", Kit(),
         Files("Mend0folder.zip\\=", mendA), kLauncherInstalled,
         Files("Mend0folder.zip\\=", mendA, "Nightjar.exe=A")},
        {P::frmStep3, "a name whose short form matches", Kit(), Files(zipx), kNoLauncher, Files(zipx)},
        {P::frmStep3, "the launcher in other letter case", Kit("nightjar.exe=x", "Nightjar.htm=help"),
         Files(), kNoLauncher, Files("Nightjar.htm=help")},
        {P::frmStep3, "a folder where the shortcut goes", Kit("Nightjar.exe=launcher"), Files(),
         ErrorReport(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), L"save " + LauncherShortcut()),
         Files("Nightjar.exe=launcher")},
        {P::frmStep4, "the kit over a read-only help file", FullKit(),
         Files("Turbo.EXE=older", "Turbo.HLP*=mine"), ErrorReport(1, L"extract Turbo.HLP"),
         Files("Turbo.EXE=" + Payload("Turbo.EXE"), "Turbo.HLP*=mine", "Mendpack Backup\\Turbo.EXE=older",
               "Mendpack Backup\\Turbo.HLP*=mine")},
        {P::frmStep4, "the player's help file held open", FullKit(),
         Files("Turbo.EXE=older", "Turbo.HLP!=mine"),
         ErrorReport(ERROR_SHARING_VIOLATION, L"copy Turbo.HLP to Mendpack Backup\\Turbo.HLP"),
         Files("Turbo.EXE=older", "Turbo.HLP=mine")},
        {P::frmStep4, "Turbo in other letter case", Kit("turbo.exe=x", "Turbo.HLP=help"), Files(),
         L"Error -- Turbo file not found", Files("Turbo.HLP=help")},
        {P::frmStep5, "dgvoodoo over GlideOS's", FullKit(), Files(os), L"dgvoodoo installed", Files(dg)},
        {P::frmStep5, "dgvoodoo over a read-only one", FullKit(), Files("glide2x.dll*=old"),
         ErrorReport(ERROR_ACCESS_DENIED, L"copy dgvoodoo sync glide2x.dll to glide2x.dll"),
         Files("glide2x.dll*=old", "dgvoodoo sync " + dg, "Mendpack Backup\\glide2x.dll*=old")},
        {P::frmStep6, "GlideOS over dgvoodoo's", FullKit(), Files(dg), L"GlideOS installed", Files(os, ini)},
        {P::frmStep6, "GlideOS in other letter case", Kit("OS glide2x.dll=x", ini), Files(),
         L"Error -- GlideOS file not found", Files(ini)},
        {P::frmStep8, "frozen files and an older backup", FullKit(), frozen, presetsDone,
         Files(gf, mp, "Data\\wgfprefs.bak=an older backup",
               "Data\\Multi\\wmpprefs.bak*=" + PlayerPrefs('m'))},
        {P::frmStep8, "no preference files", FullKit(), Files("Data\\Multi\\="), presetsDone, Files(gf, mp)},
        {P::frmStep8, "only the single-player preset", Kit("gfprefs.dat=x", "MPPREFS.DAT=x"), frozen,
         noPresets, frozen},
        {P::frmStep8, "no preset in no kit archive", Kit(), frozen, noPresets, frozen},
        {P::frmStep8, "no Data\\Multi folder", FullKit(), Files(kPlayerGf),
         ErrorReport(ERROR_PATH_NOT_FOUND, L"copy mpprefs.dat to Data\\Multi\\mpprefs.dat"),
         Files(gf, kGfKept)},
        {P::frmStep8, "a file the running game holds", FullKit(),
         Files(kPlayerGf, "Data\\Multi\\mpprefs.dat!=" + PlayerPrefs('m')),
         ErrorReport(ERROR_SHARING_VIOLATION, L"copy Data\\Multi\\mpprefs.dat to Data\\Multi\\wmpprefs.bak"),
         Files(kPlayerGf, kPlayerMp, kGfKept)},
        {P::frmUninstall, "after every page", FullKit(), installed, kUninstalled, restored},
        {P::frmUninstall, "a second time", FullKit(), restored, kUninstalled, restored},
        {P::frmUninstall, "after a presets page that the running game stopped", FullKit(),
         Files(kPlayerGf, kPlayerMp, kGfKept), kUninstalled, Files(kPlayerGf, kPlayerMp)},
    });
}

// On the small file system of the run (small_disk.sh), filled up after the game folder is made, the
// library's writing fails.
TEST(Pages, OnAFullDiskAPageSaysWhatFailedAndChangesNothing) {
    const std::wstring disk = wintest::ProgramFolder() + L"\\..\\small-disk";
    if (!wintest::Exists(disk))
        GTEST_SKIP() << "no small file system mounted for this run (small_disk.sh needs root)";
    const FolderContents players = Files(kPlayerGf, kPlayerMp);
    ExpectOutcomes(
        {{P::frmStep8, "a full disk", FullKit(), players, ErrorReport(1, L"extract gfprefs.dat"), players}},
        disk);
}

} // namespace

#include "nightjar_driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <sstream>

#include "common/text.h"
#include "win32/handle.h"

using namespace wintest;

namespace nightjar_test {

std::string PreferenceBytes(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(1 + (i * 37) % 250);
    return bytes;
}

void ExpectPatched(const std::wstring &path, const std::string &original) {
    std::string expected = original;
    expected.resize(std::max<size_t>(expected.size(), 69), '\0');
    expected[68] = '\0';
    EXPECT_EQ(ReadFile(path), expected);
}

GameFolder::GameFolder() : TempFolder(L"nightjar") {
    // Wine starts its desktop process for the first window of a session: let this process be its
    // parent, not a launcher whose children are waited for.
    GetDesktopWindow();
    MakeFolders(*this / L"Data\\Multi");
    const std::wstring bin = ProgramFolder() + L"\\";
    const std::pair<const wchar_t *, const wchar_t *> copies[] = {{L"Nightjar.exe", L"Nightjar.exe"},
                                                                  {L"game_stand_in.exe", L"falcon.exe"},
                                                                  {L"game_stand_in.exe", L"falconmmp.exe"},
                                                                  {L"game_stand_in.exe", L"explorer.exe"}};
    for (auto [from, to] : copies)
        if (!CopyFileW((bin + from).c_str(), (*this / to).c_str(), FALSE))
            ADD_FAILURE() << "cannot copy " << mend::Utf8FromWide(from) << ": error " << GetLastError();
}

std::vector<std::string> GameFolder::Launches() const {
    std::vector<std::string> lines;
    std::istringstream in(Exists(*this / L"launches.txt") ? ReadFile(*this / L"launches.txt") : "");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

HWND Nightjar::Dialog() {
    // A modal dialog can exist hidden while its WM_INITDIALOG shows a message box; it is ready
    // once its last control has been made.
    if (!dialog_ && !WaitUntil([&] {
            for (HWND w : DialogWindows(Pid()))
                if (WindowText(w) == kDialogCaption && GetDlgItem(w, kHelpPage))
                    return (dialog_ = w) != nullptr;
            return false;
        }))
        ADD_FAILURE() << "the launcher's dialog did not come";
    return dialog_;
}

bool Nightjar::Ticked(int id) {
    auto control = FindControl(Dialog(), id);
    EXPECT_TRUE(control) << "no control " << id;
    return control && control->Checked();
}

void Nightjar::Click(int id) {
    EXPECT_TRUE(wintest::Click(Dialog(), id)) << "no control " << id;
}

Messages Nightjar::Answer() {
    Messages shown;
    HWND dialog = Dialog();
    for (;;) {
        // Sync posts behind everything posted before, so when it returns the click has either
        // run to its end or is waiting in a message box (whose loop handled the marker).
        EXPECT_TRUE(Sync(dialog)) << "the launcher does not take messages";
        auto pending = DialogWindows(Pid(), dialog);
        if (pending.empty())
            break;
        HWND window = pending.front();
        if (!WaitUntil([&] { return IsWindowVisible(window) != FALSE; })) {
            ADD_FAILURE() << "a message box never showed";
            break;
        }
        auto box = ReadMessageBox(window);
        EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"}) << mend::Utf8FromWide(box.text);
        EXPECT_FALSE(box.hasIcon) << mend::Utf8FromWide(box.text);
        EXPECT_EQ(box.owner, dialog) << "message boxes belong to the dialog";
        shown.emplace_back(box.caption, box.text);
        if (!PressOk(box.window)) {
            ADD_FAILURE() << "message box did not close";
            break;
        }
    }
    // A program that WinExec started has been created by the time the click is handled; once
    // none of our children is left, every start has also written its line.
    std::string children;
    EXPECT_TRUE(WaitUntil([&] {
        win32::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        children = snapshot ? "" : "?";
        for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
             more = Process32NextW(snapshot.Get(), &entry))
            if (entry.th32ParentProcessID == Pid() && entry.th32ProcessID != Pid())
                children += mend::Utf8FromWide(entry.szExeFile) + " ";
        return children.empty();
    })) << "started programs that did not end: "
        << children;
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; })) << "the dialog does not show";
    return shown;
}

DWORD Nightjar::CloseWith(void (*how)(HWND)) {
    how(Dialog());
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(process_.WaitForExit(kGuiTimeoutMs, &code)) << "the launcher did not end";
    return code;
}

} // namespace nightjar_test

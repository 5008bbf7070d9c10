#include "nightjar_driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <sstream>

#include "common/text.h"

using namespace wintest;

namespace nightjar_test {

std::string PreferenceBytes(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(1 + (i * 37) % 250);
    return bytes;
}

GameFolder::GameFolder() {
    MakeFolders(folder_ / L"Data\\Multi");
    std::wstring bin = ProgramFolder();
    auto copy = [&](const wchar_t *from, const wchar_t *to) {
        if (!CopyFileW((bin + L"\\" + from).c_str(), (folder_ / to).c_str(), FALSE))
            ADD_FAILURE() << "cannot copy " << mend::Utf8FromWide(from) << ": error " << GetLastError();
    };
    copy(L"Nightjar.exe", L"Nightjar.exe");
    copy(L"game_stand_in.exe", L"falcon.exe");
    copy(L"game_stand_in.exe", L"falconmmp.exe");
    copy(L"game_stand_in.exe", L"explorer.exe");
}

std::vector<std::string> GameFolder::Launches() const {
    std::vector<std::string> lines;
    std::wstring log = folder_ / L"launches.txt";
    if (!Exists(log))
        return lines;
    std::istringstream in(ReadFile(log));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void PrintTo(const ShownMessage &m, std::ostream *os) {
    *os << "[" << mend::Utf8FromWide(m.caption) << "] " << mend::Utf8FromWide(m.text);
}

Nightjar::Nightjar(const GameFolder &game) : process_(game / L"Nightjar.exe", L"", game.Path()) {}

HWND Nightjar::Dialog() {
    if (!dialog_)
        dialog_ = FindTopWindow(kDialogCaption, Pid());
    EXPECT_NE(dialog_, nullptr) << "the launcher's dialog did not show";
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

bool Nightjar::WaitForChildrenToEnd() {
    // A program that WinExec started has been created by the time the click is handled; once
    // none of our children is left, every start has also written its line.
    return WaitUntil([&] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        bool child = false;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !child;
             more = Process32NextW(snapshot, &entry))
            child = entry.th32ParentProcessID == Pid() && entry.th32ProcessID != Pid();
        CloseHandle(snapshot);
        return !child;
    });
}

std::vector<ShownMessage> Nightjar::Answer() {
    std::vector<ShownMessage> shown;
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
        shown.push_back({box.caption, box.text});
        if (!PressOk(box.window)) {
            ADD_FAILURE() << "message box did not close";
            break;
        }
    }
    EXPECT_TRUE(WaitForChildrenToEnd()) << "a started program did not end";
    return shown;
}

std::vector<ShownMessage> Nightjar::Press(int id) {
    Click(id);
    return Answer();
}

DWORD Nightjar::CloseWith(void (*how)(HWND)) {
    how(Dialog());
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(WaitUntil([&] { return ProcessEnded(Process(), &code); })) << "the launcher did not end";
    return code;
}

void ExpectPatched(const std::wstring &path, const std::string &original) {
    std::string expected = original;
    if (expected.size() < 69)
        expected.resize(69, '\0');
    expected[68] = '\0';
    std::string actual = ReadFile(path);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(actual[i])),
                  static_cast<int>(static_cast<unsigned char>(expected[i])))
            << "byte " << i;
}

} // namespace nightjar_test

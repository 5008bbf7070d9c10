#include "page_test.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "common/text.h"
#include "wizard/shell.h"

namespace kittest {

ShortcutFields ReadShortcut(const std::wstring &file) {
    ShortcutFields fields;
    win32::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid())))
        return fields;
    win32::ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.ReceiveVoid())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return fields;
    wchar_t text[MAX_PATH * 2] = L"";
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH)))
        fields.target = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2)))
        fields.workingDirectory = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetDescription(text, MAX_PATH * 2)))
        fields.description = text;
    link->GetShowCmd(&fields.showCommand);
    return fields;
}

PageTest::PageTest() {
    wizard.SetMessageSink([this](HWND owner, const std::wstring &text) {
        messages.push_back(text);
        messageOwners.push_back(owner);
    });
    DeleteFileW(DesktopShortcut().c_str());
}

PageTest::~PageTest() {
    DeleteFileW(DesktopShortcut().c_str());
}

std::wstring PageTest::DesktopShortcut() {
    return wizard::ShellObject().SpecialFolders(L"Desktop") + L"\\Nightjar.lnk";
}

void PageTest::WriteKit(const std::vector<ZipMember> &members, const std::wstring &name) {
    wintest::WriteFile(game / name, MakeZip(members));
}

void PageTest::WriteGameFile(const std::wstring &relative, const std::string &bytes, bool readOnly) {
    std::wstring path = game / relative;
    size_t slash = path.find_last_of(L'\\');
    wintest::MakeFolders(path.substr(0, slash));
    wintest::WriteFile(path, bytes);
    if (readOnly)
        wintest::SetReadOnly(path, true);
}

wizard::PageId PageTest::VisiblePage() const {
    HWND visible = wizard.VisiblePage();
    for (wizard::PageId id : wizard::AllPages()) {
        wizard::Page *page = wizard.Find(id);
        if (page && page->Hwnd() == visible)
            return id;
    }
    ADD_FAILURE() << "no page is visible";
    return wizard::PageId::frmStart;
}

void PageTest::NextShows(wizard::InstallPage &page, const std::wstring &message, wizard::PageId next) {
    messages.clear();
    messageOwners.clear();
    page.Next_Click();
    ASSERT_EQ(messages, std::vector<std::wstring>{message});
    EXPECT_EQ(messageOwners[0], page.Hwnd()) << "the message must come before the next page";
    EXPECT_EQ(VisiblePage(), next);
}

} // namespace kittest

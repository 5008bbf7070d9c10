// Walks the wizard through the install path in a game folder with every box ticked, answering
// its messages, and saves a screenshot of each page:  wizard_walk <game folder>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "common/text.h"
#include "support/gui.h"
#include "wizard_driver.h"

using namespace wintest;
using wizard::PageId;

int main() {
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard_walk <game folder>\n");
        return 2;
    }
    wizdrive::WizardRun run(argv[1]);
    int shot = 0;
    size_t reported = 0;
    // Each page as it shows: the messages on the way to it, then its screenshot.
    auto arrived = [&](HWND page, PageId id) {
        for (; reported < run.Messages().size(); ++reported)
            std::printf("  message: %s\n", mend::Utf8FromWide(run.Messages()[reported]).c_str());
        wchar_t name[64];
        swprintf(name, 64, L"demo-%02d-%ls", ++shot, wizard::LayoutOf(id).name);
        std::wstring file = SaveScreenshot(page, name);
        std::printf("page %-13s screenshot %s\n", mend::Utf8FromWide(wizard::LayoutOf(id).name).c_str(),
                    mend::Utf8FromWide(file).c_str());
    };
    HWND page = run.Walk({PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep3,
                          PageId::frmStep4, PageId::frmStep5, PageId::frmStep8, PageId::frmStep9},
                         {1, 1, 1, 1}, L"Next", arrived);
    if (!page) {
        std::fprintf(stderr, "wizard_walk: the wizard did not show the expected page\n");
        return 1;
    }
    run.Click(page, PageId::frmStep9, L"Exit");
    DWORD code = 1;
    bool ended = run.WaitForExit(&code);
    std::printf("Finish: the wizard %s (exit code %lu)\n", ended ? "ended" : "did NOT end", code);
    return ended && code == 0 ? 0 : 1;
}

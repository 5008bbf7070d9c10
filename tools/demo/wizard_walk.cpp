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

namespace {

int shot = 0;

HWND Arrive(HWND page, PageId id) {
    if (!page)
        return nullptr;
    wchar_t name[64];
    swprintf(name, 64, L"demo-%02d-%ls", ++shot, wizard::LayoutOf(id).name);
    std::wstring file = SaveScreenshot(page, name);
    std::printf("page %-13s screenshot %s\n", mend::Utf8FromWide(wizard::LayoutOf(id).name).c_str(),
                mend::Utf8FromWide(file).c_str());
    return page;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard_walk <game folder>\n");
        return 2;
    }
    wizdrive::WizardRun run(argv[1]);
    const PageId route[] = {PageId::frmStart, PageId::frmStep1, PageId::frmStep2, PageId::frmStep3,
                            PageId::frmStep4, PageId::frmStep5, PageId::frmStep8, PageId::frmStep9};
    HWND page = Arrive(run.WaitForPage(PageId::frmStart), PageId::frmStart);
    for (size_t i = 0; page && i + 1 < std::size(route); ++i) {
        if (route[i] == PageId::frmStep2)
            run.SetAnswers(page, {1, 1, 1, 1});
        size_t seen = run.Messages().size();
        page =
            run.Advance(page, route[i], route[i] == PageId::frmStart ? L"NextStart" : L"Next", route[i + 1]);
        for (size_t m = seen; m < run.Messages().size(); ++m)
            std::printf("  message: %s\n", mend::Utf8FromWide(run.Messages()[m]).c_str());
        page = Arrive(page, route[i + 1]);
    }
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

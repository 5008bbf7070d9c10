// Prints what the wizard's checks find on the system it runs on: the Windows version name, the
// PCI device list it reads and the display adapter's maker, one per line in UTF-8, into the file
// named on its command line (or to standard output). The checks' tests run it under each Windows
// version that Wine can pretend to be.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "common/text.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/video_maker_win.h"
#include "wizard/services/win_version.h"

int main() {
    const std::wstring name = wizard::GetWinVersion();
    const std::wstring lower = mend::LowerAscii(name);
    const std::string report = mend::Utf8FromWide(name + L"\n" + wizard::PciListKey(lower) + L"\n" +
                                                  wizard::ReadVideoMaker(lower) + L"\n");
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    FILE *out = argc > 1 ? _wfopen(argv[1], L"wb") : stdout;
    LocalFree(argv);
    if (!out)
        return 2;
    bool written = fwrite(report.data(), 1, report.size(), out) == report.size();
    if (out != stdout)
        written = fclose(out) == 0 && written;
    return written ? 0 : 1;
}

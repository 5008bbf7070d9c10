// Writes what the wizard's version check finds on the system it runs on, and the PCI device list it
// then reads, as "<version name>|<list key>" in UTF-8 to probe.txt in the current folder. The
// checks' test runs it under each Windows version that Wine can pretend to be.
#include <fstream>

#include "common/text.h"
#include "wizard/services/video_maker.h"
#include "wizard/services/win_version.h"

int main() {
    const std::wstring name = wizard::GetWinVersion();
    std::ofstream("probe.txt", std::ios::binary)
        << mend::Utf8FromWide(name + L"|" + wizard::PciListKey(mend::LowerAscii(name)));
}

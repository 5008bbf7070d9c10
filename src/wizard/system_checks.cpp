#include "wizard/pages.h"

namespace wizard {

void frmStep1::GetGFSysInfo() {}

void frmStep1::GetVideoMfg() {}

}  // namespace wizard

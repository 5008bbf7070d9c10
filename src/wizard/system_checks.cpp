#include "wizard/pages.h"

namespace wizard {

void frmStep1::GetGFSysInfo() {}

}  // namespace wizard

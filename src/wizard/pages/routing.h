#pragma once
// Which page follows which: the install path shows only the pages that the four answers call for.
#include "wizard/pages/page_layouts.h"
#include "wizard/services/wizard_state.h"

namespace wizard {

// The page shown after leaving `page` forward (Next, or Skip on an install page).
// Only meaningful for the questions page and the install pages; any other page has no successor
// by routing and gives itself back.
PageId NextPage(PageId page, const Answers &answers);

} // namespace wizard

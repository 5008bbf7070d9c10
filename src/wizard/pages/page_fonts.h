#pragma once
// The fonts the pages use, made once for the screen's DPI and shared by every page.
#include <windows.h>

#include "wizard/pages/page_layouts.h"

namespace wizard {

HFONT FontFor(FontKind kind);
// Twips of a page converted to pixels at the screen's DPI.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

} // namespace wizard

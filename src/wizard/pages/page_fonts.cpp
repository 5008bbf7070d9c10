#include "wizard/pages/page_fonts.h"

#include "win32/handle.h"

namespace wizard {

namespace {

struct ScreenDpi {
    int x = 96, y = 96;
    ScreenDpi() {
        win32::WindowDC screen(nullptr);
        if (screen.Get()) {
            x = GetDeviceCaps(screen.Get(), LOGPIXELSX);
            y = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        }
    }
};

const ScreenDpi &Dpi() {
    static const ScreenDpi dpi;
    return dpi;
}

win32::GdiObject MakeGeorgia(int points, int weight) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, Dpi().y, 72);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, L"Georgia", LF_FACESIZE);
    return win32::GdiObject(CreateFontIndirectW(&font));
}

} // namespace

HFONT FontFor(FontKind kind) {
    static const win32::GdiObject georgia12 = MakeGeorgia(12, FW_NORMAL);
    static const win32::GdiObject georgia18Bold = MakeGeorgia(18, FW_BOLD);
    switch (kind) {
    case FontKind::Georgia12:
        return static_cast<HFONT>(georgia12.Get());
    case FontKind::Georgia18Bold:
        return static_cast<HFONT>(georgia18Bold.Get());
    case FontKind::DialogDefault:
        break;
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TwipsToPixelsX(int twips) {
    return MulDiv(twips, Dpi().x, kTwipsPerInch);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, Dpi().y, kTwipsPerInch);
}

} // namespace wizard

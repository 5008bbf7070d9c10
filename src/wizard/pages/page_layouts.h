#pragma once
// The wizard's pages as data: every page's caption, client size and controls with their kind,
// text, place (in twips) and tab order. One page window class builds any page from this table.
#include <string>
#include <vector>

namespace wizard {

enum class PageId {
    frmStart,
    frmStep1,
    frmStep2,
    frmStep3,
    frmStep4,
    frmStep5,
    frmStep6,
    frmStep8,
    frmStep9,
    frmUninstall
};

enum class ControlKind { Label, CheckBox, OptionButton, Button };

// Labels, check boxes and option buttons use Georgia 12 pt; the welcome title Georgia 18 pt bold;
// buttons the system's default dialog font.
enum class FontKind { Georgia12, Georgia18Bold, DialogDefault };

struct ControlLayout {
    ControlKind kind;
    const wchar_t *name; // the control's name on its page: Next, chkWinXP, Label1, ...
    const wchar_t *text;
    int left, top, width, height; // twips in the page's client area
    int tab;                      // tab order on the page, 0 first
    FontKind font;
};

struct PageLayout {
    PageId id;
    const wchar_t *name;
    const wchar_t *caption;
    int clientWidth, clientHeight;       // twips
    std::vector<ControlLayout> controls; // as the page lists them

    const ControlLayout *Find(const std::wstring &controlName) const;
    std::vector<const ControlLayout *> InTabOrder() const;
};

const PageLayout &LayoutOf(PageId page);
const std::vector<PageId> &AllPages();

// Control identifiers: a control's id is derived from its tab index, which is unique on a page.
constexpr int kFirstControlId = 100;
inline int ControlId(const ControlLayout &c) {
    return kFirstControlId + c.tab;
}

constexpr int kTwipsPerInch = 1440;

} // namespace wizard

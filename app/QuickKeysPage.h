#pragma once
// The QuickKeys page of the Options sheet: one row per function key F2 to
// F12 in a list (the key, a tab, the text or "(none)"), and an edit box for
// the selected row's text. The function keys select their rows and the
// arrow and page keys move through the list while the focus stays in the
// edit box. The rows' texts live in the page; the list only shows them, and
// is never read back, since this Wine's ANSI LB_GETTEXT overruns its own
// buffer on an item longer than 512 characters.

#include <array>
#include <string>

#include "app/OptionsContext.h"
#include "resources/ResourceIds.h"
#include "settings/QuickKeySettings.h"
#include "util/win32/Controls.h"
#include "util/win32/PropertyPage.h"

inline constexpr char kNoQuickKeyText[] = "(none)";

class CQuickKeysPage : public CPropertyPage {
public:
    explicit CQuickKeysPage(COptionsContext& context) : CPropertyPage(IDD_OPTIONS_QUICKKEYS), m_context(context) {}

    bool PreTranslateKey(const MSG& message) override;
    // The text the row of QuickKey `functionKey` holds now ("(none)" for
    // none); empty for a key that is not a QuickKey.
    std::string RowText(int functionKey) const;

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnApply() override;

private:
    void ShowSelectedRow();
    void OnTextUpdate();
    void SetTabStop();
    std::string ShownRow(int row) const;
    void ShowRow(int row);

    COptionsContext& m_context;
    CDialogItem m_label{IDC_QUICKKEYLABEL};
    CEditBox m_text{IDC_QUICKKEYTEXT};
    CListBox m_keys{IDC_QUICKKEYLIST};
    std::array<std::string, kLastQuickKey - kFirstQuickKey + 1> m_rows;
};

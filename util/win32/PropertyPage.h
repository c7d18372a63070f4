#pragma once
// One page of a property sheet (PropertySheet.h): a dialog made by the sheet
// from the page's template when the page is first shown. The page object is
// found from the PROPSHEETPAGE that the sheet passes at WM_INITDIALOG, and
// the sheet's notifications reach their own handlers: shown (set-active),
// left (kill-active), OK (apply) and Cancel (reset). A page that was never
// shown has no window and hears none of them.

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "util/win32/Dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(int templateId) : CDialog(templateId) {}

    // The record the sheet creates the page from. The tab shows the
    // template's caption.
    PROPSHEETPAGEW Descriptor();
    // The sheet's window while the page has one.
    HWND SheetWindow() const { return Hwnd() ? ::GetParent(Hwnd()) : nullptr; }

    // The page's window belongs to its sheet and goes with it.
    void DestroyDialog() override {}

protected:
    // Before the page is shown, each time.
    virtual void OnSetActive() {}
    // Before another page is shown or the sheet is accepted: false keeps the
    // page (its values are not valid yet).
    virtual bool OnKillActive() { return true; }
    // OK on the sheet, for every page that has been shown: store what the
    // page holds. False keeps the sheet open on this page.
    virtual bool OnApply() { return true; }
    // Cancel on the sheet, for every page that has been shown.
    virtual void OnReset() {}

    // The sheet's notifications go to the handlers above; a page that
    // handles notifications of its own controls passes the rest here.
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    // Enter or Escape that reach the page itself (a multi-line edit box
    // sends them there) act on the sheet's OK and Cancel buttons.
    void OnOk() override;
    void OnCancel() override;

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CPropertySheet* m_sheet = nullptr;
};

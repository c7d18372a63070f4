#include "util/win32/PropertyPage.h"

#include "util/win32/PropertySheet.h"

PROPSHEETPAGEW CPropertyPage::Descriptor() {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = ::GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(TemplateId());
    page.pfnDlgProc = &PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

// WM_INITDIALOG carries the sheet's copy of the page's record, not the
// object; the record's lParam is the object.
INT_PTR CALLBACK CPropertyPage::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* attaching = nullptr;
    if (message == WM_INITDIALOG && lParam)
        attaching = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    return HandleDialogMessage(attaching, window, message, wParam, lParam);
}

std::optional<LRESULT> CPropertyPage::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != SheetWindow()) return std::nullopt;
    const auto& notice = reinterpret_cast<const PSHNOTIFY&>(header);
    switch (header.code) {
    case PSN_SETACTIVE:
        OnSetActive();
        return 0;
    case PSN_KILLACTIVE:
        return OnKillActive() ? FALSE : TRUE;
    case PSN_APPLY:
        if (!OnApply()) return PSNRET_INVALID_NOCHANGEPAGE;
        // lParam: the sheet closes (OK) rather than stays (Apply).
        if (m_sheet && notice.lParam) m_sheet->NoteResult(IDOK);
        return PSNRET_NOERROR;
    case PSN_RESET:
        OnReset();
        if (m_sheet) m_sheet->NoteResult(IDCANCEL);
        return 0;
    default:
        return std::nullopt;
    }
}

void CPropertyPage::OnOk() {
    if (const HWND sheet = SheetWindow()) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void CPropertyPage::OnCancel() {
    if (const HWND sheet = SheetWindow()) ::PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

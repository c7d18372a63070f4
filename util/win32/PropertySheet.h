#pragma once
// A property sheet that owns its pages: they are added once, in tab order,
// and live as long as the sheet object. The sheet is made modeless by the
// common controls and run modally by its own loop, which offers every key
// message for a window of the active page to that page's PreTranslateKey
// before the sheet's dialog navigation takes it (so a page sees keys such as
// F10 and the arrows that navigation or the system would otherwise use). The
// loop ends with OK or Cancel, when the sheet's window goes (its owner was
// destroyed), and on WM_QUIT, which it leaves in the queue for the program's
// own loop.

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "util/win32/PropertyPage.h"

class CPropertySheet {
public:
    // `flags`: PSH_* flags added to the ones the sheet needs itself.
    explicit CPropertySheet(std::string caption, DWORD flags = 0) : m_caption(std::move(caption)), m_flags(flags) {}
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;
    // Destroys a window that is still there, before the pages go.
    virtual ~CPropertySheet();

    // Adds a page made here from `args`; before Create only.
    template <typename Page, typename... Args>
    Page& AddPage(Args&&... args) {
        auto page = std::make_unique<Page>(std::forward<Args>(args)...);
        Page& added = *page;
        added.m_sheet = this;
        m_pages.push_back(std::move(page));
        return added;
    }
    std::size_t PageCount() const { return m_pages.size(); }
    CPropertyPage& Page(std::size_t index) const { return *m_pages[index]; }

    // The sheet window, with `startPage` shown, owned by `parent`; false when
    // it could not be made.
    bool Create(HWND parent, int startPage = 0);
    // Create, then the modal loop with `parent` disabled. IDOK when the sheet
    // was closed with OK, IDCANCEL for every other end, -1 when it could not
    // be made. The window is gone afterwards.
    INT_PTR RunModal(HWND parent, int startPage = 0);
    void Destroy();

    HWND Hwnd() const { return m_window; }
    // OK or Cancel ended the sheet, something ended it as a dialog, or its
    // window is gone.
    bool IsDone() const;
    // The page shown now; null when none is.
    CPropertyPage* ActivePage() const;

private:
    friend class CPropertyPage;
    // The last answer of the pages: accepted (IDOK) or cancelled.
    void NoteResult(INT_PTR result) { m_result = result; }

    std::string m_caption;
    DWORD m_flags;
    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
    // The records the sheet was made from; kept for its whole life.
    std::vector<PROPSHEETPAGEW> m_descriptors;
    HWND m_window = nullptr;
    INT_PTR m_result = IDCANCEL;
};

// One message of the sheet's loop: true when the sheet consumed it (the
// active page's pre-translation or the sheet's dialog navigation). Tests
// pump a modeless sheet through this so that they see keys as the loop does.
bool PreTranslateForSheet(const CPropertySheet& sheet, MSG& message);

#include "util/win32/PropertySheet.h"

#include "util/win32/WideText.h"

CPropertySheet::~CPropertySheet() { Destroy(); }

bool CPropertySheet::Create(HWND parent, int startPage) {
    Destroy();
    m_result = IDCANCEL;
    m_descriptors.clear();
    for (const auto& page : m_pages) m_descriptors.push_back(page->Descriptor());

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = m_flags | PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hwndParent = parent;
    header.hInstance = ::GetModuleHandleW(nullptr);
    const std::wstring caption = Widen(m_caption);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(m_descriptors.size());
    header.nStartPage = static_cast<UINT>(startPage);
    header.ppsp = m_descriptors.data();
    const INT_PTR created = ::PropertySheetW(&header);
    m_window = created > 0 ? reinterpret_cast<HWND>(created) : nullptr;
    return m_window && ::IsWindow(m_window);
}

INT_PTR CPropertySheet::RunModal(HWND parent, int startPage) {
    if (!Create(parent, startPage)) return -1;
    // As a modal dialog does: the owner takes no input while the sheet is up.
    const HWND owner = parent ? ::GetAncestor(parent, GA_ROOT) : nullptr;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);

    MSG message{};
    while (!IsDone()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (PreTranslateForSheet(*this, message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    // The owner is enabled before the sheet goes, so that the activation
    // returns to it rather than to another program's window.
    if (ownerWasEnabled && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
    Destroy();
    return m_result;
}

void CPropertySheet::Destroy() {
    if (m_window && ::IsWindow(m_window)) ::DestroyWindow(m_window);
    m_window = nullptr;
}

// A modeless sheet reports its end through PSM_GETCURRENTPAGEHWND, which
// then gives no page. EndDialog, which the chat window uses on whatever
// modal window is open over it, only hides a sheet made modeless.
bool CPropertySheet::IsDone() const {
    return !m_window || !::IsWindow(m_window) || !PropSheet_GetCurrentPageHwnd(m_window) ||
           !::IsWindowVisible(m_window);
}

CPropertyPage* CPropertySheet::ActivePage() const {
    if (!m_window || !::IsWindow(m_window)) return nullptr;
    const HWND current = PropSheet_GetCurrentPageHwnd(m_window);
    if (!current) return nullptr;
    for (const auto& page : m_pages)
        if (page->Hwnd() == current) return page.get();
    return nullptr;
}

bool PreTranslateForSheet(const CPropertySheet& sheet, MSG& message) {
    const HWND window = sheet.Hwnd();
    if (!window || (message.hwnd != window && !::IsChild(window, message.hwnd))) return false;
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (key) {
        CPropertyPage* page = sheet.ActivePage();
        if (page && (message.hwnd == page->Hwnd() || ::IsChild(page->Hwnd(), message.hwnd)) &&
            page->PreTranslateKey(message))
            return true;
    }
    return PropSheet_IsDialogMessage(window, &message) != FALSE;
}

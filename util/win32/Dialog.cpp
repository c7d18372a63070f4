#include "util/win32/Dialog.h"

#include <vector>

std::string CDialogItem::Text() const {
    if (!m_window) return {};
    const int length = ::GetWindowTextLengthW(m_window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_window, buffer.data(), length + 1);
    return Narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)));
}

CDialog::~CDialog() {
    if (m_window && ::IsWindow(m_window)) {
        // The object is half gone: its overrides must not run any more.
        ::SetWindowLongPtrW(m_window, DWLP_USER, 0);
        ::DestroyWindow(m_window);
    }
}

bool CDialog::CreateModeless(HWND parent) {
    m_modal = false;
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
    return Exists();
}

INT_PTR CDialog::RunModal(HWND parent) {
    m_modal = true;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent, &DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialog::EndModal(INT_PTR result) {
    if (m_window) ::EndDialog(m_window, result);
}

void CDialog::DestroyDialog() {
    if (!m_window) return;
    if (m_modal)
        ::EndDialog(m_window, 0);
    else
        ::DestroyWindow(m_window);
}

void CDialog::EndOrDestroy(INT_PTR result) {
    if (m_modal)
        EndModal(result);
    else
        DestroyDialog();
}

bool CDialog::PreTranslateKey(const MSG&) { return false; }

bool CDialog::OnCommand(int id, int, HWND) {
    switch (id) {
    case IDOK: OnOk(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

std::optional<LRESULT> CDialog::OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

std::optional<LRESULT> CDialog::OnNotify(const NMHDR&) { return std::nullopt; }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* attaching = message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : nullptr;
    return HandleDialogMessage(attaching, window, message, wParam, lParam);
}

INT_PTR CDialog::HandleDialogMessage(CDialog* attaching, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(attaching));
        if (attaching) attaching->m_window = window;
    }
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!dialog) return FALSE;
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        // Handlers report failure through their results and throw nothing on
        // purpose; if something slips through, the system's default
        // handling is the safest answer, and unwinding through the system's
        // frames is not allowed.
        return FALSE;
    }
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        BindControls();
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
        if (!lParam) return FALSE;
        if (const std::optional<LRESULT> result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam)))
            return Result(message, *result);
        return FALSE;
    case WM_NCDESTROY: {
        ::SetWindowLongPtrW(m_window, DWLP_USER, 0);
        m_window = nullptr;
        OnDestroyed();
        if (m_quitOnDestroy) ::PostQuitMessage(0);
        return FALSE;
    }
    default:
        if (const std::optional<LRESULT> result = OnMessage(message, wParam, lParam))
            return Result(message, *result);
        return FALSE;
    }
}

// Most messages return their result through DWLP_MSGRESULT; a few are
// answered through the dialog procedure's own return value.
INT_PTR CDialog::Result(UINT message, LRESULT result) {
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(m_window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

bool PreTranslateForDialog(CDialog& main, MSG& message) {
    const HWND window = main.Hwnd();
    if (!window || (message.hwnd != window && !::IsChild(window, message.hwnd))) return false;
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (key && main.PreTranslateKey(message)) return true;
    return ::IsDialogMessageW(window, &message) != FALSE;
}

int RunMessageLoop(CDialog& main) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslateForDialog(main, message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// The Help commands and the history's right-click menu as the chat dialog
// hands them on.

#include <windowsx.h>

#include "chatwindow/ChatDlg.h"
#include "chatwindow/HelpCommands.h"

void CChatDlg::UseHelp(CHelpCommands& help, CLinkOpener& opener) {
    m_help = &help;
    m_history.SetOpener(&opener);
}

// About and the program's other modal windows exclude each other; the box
// comes over the chat window, shown first, which stays shown afterwards.
void CChatDlg::OnAbout() {
    if (HasModalPopup() || !m_help) return;
    ShowChat(true, false);
    m_help->ShowAbout(Hwnd());
}

void CChatDlg::OnHelpCommand(int id) {
    if (!m_help) return;
    switch (id) {
    case ID_VIEW_README: m_help->ViewReadMe(); break;
    case ID_VISIT_WEBSITE: m_help->VisitWebSite(); break;
    case ID_EMAIL_SUPPORT: m_help->EmailSupport(); break;
    default: break;
    }
}

// A Rich Edit control without a menu of its own leaves WM_CONTEXTMENU to
// its default handling, which passes it to the dialog: a right click, Shift+F10
// and the context-menu key.
std::optional<LRESULT> CChatDlg::OnContextMenu(HWND source, LPARAM point) {
    if (source != m_history.Hwnd()) return std::nullopt;
    m_history.OnContextMenu(POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)});
    return 0;
}

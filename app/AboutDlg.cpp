#include "app/AboutDlg.h"

#include "chatwindow/Texts.h"
#include "messaging/LongDate.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"

std::string AboutBoxText(const CBuildInfo& build) {
    return std::string(MIVLET_PRODUCT_NAME " version ") + build.version +
           "\r\n"
           "Copyright (C) " MIVLET_COMPANY_NAME ".  All rights reserved.\r\n"
           "Date released is " +
           MakeLongDate(build.releaseDate) +
           ".\r\n"
           "\r\n"
           "Thanks to everyone who tried the first versions on their office networks and told us what "
           "they found, and to all who keep sending ideas and reports to " +
           kSupportEmail + ".";
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT), m_text(IDC_ABOUTTEXT) {}

void CAboutDlg::BindControls() { m_text.Bind(Hwnd()); }

bool CAboutDlg::OnInitDialog() {
    m_text.SetText(AboutBoxText(ThisBuild()));
    return true;
}

bool CAboutDlg::OnCommand(int id, int code, HWND control) {
    if (id != IDC_ABOUTTEXT) return CDialog::OnCommand(id, code, control);
    switch (code) {
    case EN_KILLFOCUS:
        m_savedSelection = static_cast<DWORD>(m_text.Send(EM_GETSEL));
        return true;
    case EN_SETFOCUS:
        // The dialog manager selects the whole text of an edit box that the
        // focus enters by keyboard, just before the box takes the focus.
        m_text.Send(EM_SETSEL, LOWORD(m_savedSelection), HIWORD(m_savedSelection));
        m_text.Send(EM_SCROLLCARET);
        return true;
    default:
        return false;
    }
}

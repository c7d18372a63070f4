#include "chatwindow/NewMessageAlert.h"

namespace {

DesktopWindow ToDesktop(HWND window) { return reinterpret_cast<DesktopWindow>(window); }

}  // namespace

bool CNewMessageAlert::IsChatInFront() {
    if (!m_dialog) return false;
    return m_desktop.ForegroundWindow() == ToDesktop(::GetLastActivePopup(m_dialog));
}

void CNewMessageAlert::StartFlashing() {
    if (!m_dialog || m_desktop.ForegroundWindow() == ToDesktop(m_dialog)) return;
    m_flashing = true;
    m_flashPhase = false;
    ::KillTimer(m_dialog, m_flashTimer);
    ::SetTimer(m_dialog, m_flashTimer, kFlashPeriodMs, nullptr);
}

void CNewMessageAlert::OnFlashTick() {
    if (m_flashing && !IsChatInFront()) {
        m_flashPhase = !m_flashPhase;
        m_desktop.FlashCaption(ToDesktop(m_dialog), m_flashPhase);
        return;
    }
    m_desktop.FlashCaption(ToDesktop(m_dialog), false);
    ::KillTimer(m_dialog, m_flashTimer);
    m_flashing = false;
}

bool CNewMessageAlert::BringToForeground(HWND window) {
    if (!window || !::IsWindow(window)) return false;
    return ::BringToForeground(m_desktop, ToDesktop(window));
}

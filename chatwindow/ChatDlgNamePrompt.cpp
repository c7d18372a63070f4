// The one-time name prompt: asked once the user has the chat window in
// front for the first time, when no usable name is stored. A window that a
// message brought up minimised, or that stands behind another program, does
// not ask: the prompt would take the keys the user is typing elsewhere.

#include "chatwindow/ChatDlg.h"
#include "chatwindow/Texts.h"
#include "settings/UserName.h"
#include "util/win32/InputDlg.h"

void CChatDlg::OnNamePromptTick() {
    if (!::IsWindowVisible(Hwnd()) || ::IsIconic(Hwnd()) ||
        m_desktop.ForegroundWindow() != reinterpret_cast<DesktopWindow>(Hwnd()))
        return;
    ::KillTimer(Hwnd(), kNamePromptTimer);
    const std::string offered = m_settings.CurrentUserName(nullptr);
    std::string entered;
    const bool confirmed = PromptForUserName(offered, entered);
    // The program ended while the prompt was open: nobody answered it, so
    // nothing is stored and the next start asks again.
    if (!Exists()) return;
    if (confirmed) {
        m_settings.SetCurrentUserName(entered);
    } else {
        ShowMessage(kUserNameCancelledText, MB_OK);
        // Stored, so that the next start does not ask again.
        m_settings.SetCurrentUserName(offered);
    }
    ApplySettings();
}

bool CChatDlg::PromptForUserName(const std::string& offered, std::string& entered) {
    return InputBox(kUserNameCaption, kUserNamePrompt, entered, offered, static_cast<int>(kMaxUserNameLength),
                    false, Hwnd());
}

// The one-time name prompt: asked once the chat window is first shown, when
// no usable name is stored.

#include "chatwindow/ChatDlg.h"
#include "chatwindow/Texts.h"
#include "settings/UserName.h"
#include "util/win32/InputDlg.h"

void CChatDlg::OnNamePromptTick() {
    if (!::IsWindowVisible(Hwnd())) return;
    ::KillTimer(Hwnd(), kNamePromptTimer);
    const std::string offered = m_settings.CurrentUserName(nullptr);
    std::string entered;
    if (PromptForUserName(offered, entered)) {
        m_settings.SetCurrentUserName(entered);
    } else {
        ShowMessage(kUserNameCancelledText, MB_OK);
        // Stored, so that the next start does not ask again.
        m_settings.SetCurrentUserName(offered);
    }
    // An exit while the prompt was open must not be followed by a ping.
    if (Exists()) ApplySettings();
}

bool CChatDlg::PromptForUserName(const std::string& offered, std::string& entered) {
    return InputBox(kUserNameCaption, kUserNamePrompt, entered, offered, static_cast<int>(kMaxUserNameLength),
                    false, Hwnd());
}

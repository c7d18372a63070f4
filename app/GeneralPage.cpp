#include "app/GeneralPage.h"

#include "app/PolicyNote.h"
#include "chattext/MessageLog.h"
#include "settings/IntSettings.h"
#include "settings/SettingsStore.h"
#include "settings/UserName.h"
#include "util/AsciiText.h"
#include "util/win32/WideText.h"

namespace {

// Any stored value but 0 counts as on where the setting is read, so the box
// shows it ticked; OK then stores 1.
int CheckState(std::int32_t stored) { return stored != 0 ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

void CGeneralPage::BindControls() {
    for (CDialogItem* item : std::initializer_list<CDialogItem*>{&m_viewButton, &m_log, &m_name, &m_lastSender,
                                                                 &m_promptAllUsers, &m_playSound, &m_onNewMessage})
        item->Bind(Hwnd());
}

// The template cannot carry the list's items (the resource compiler has no
// initialisation data for controls): they come from the string table, in
// the order of the values they stand for.
void CGeneralPage::FillReactions() {
    for (const UINT id : {IDS_ONNEWMESSAGE_FLASH, IDS_ONNEWMESSAGE_POPUP, IDS_ONNEWMESSAGE_NOTHING}) {
        wchar_t text[64] = {};
        ::LoadStringW(::GetModuleHandleW(nullptr), id, text, 64);
        m_onNewMessage.Add(NarrowBuffer(text, 64));
    }
}

bool CGeneralPage::OnInitDialog() {
    CSettingsStore& store = m_context.store;
    FillReactions();
    m_name.LimitCharacters(kMaxUserNameLength);
    m_name.SetText(GetCurrentUserName(store, m_context.system));
    m_name.Focus();
    ::PostMessageW(Hwnd(), kPlaceCaret, 0, 0);

    m_lastSender.SetState(CheckState(GetIntSetting(store, kDefaultToLastSender)));
    m_promptAllUsers.SetState(CheckState(GetIntSetting(store, kPromptOnAllUsers)));
    m_onNewMessage.Select(GetIntSetting(store, kOnNewMessage));
    m_playSound.SetState(CheckState(GetIntSetting(store, kPlaySnd)));
    m_log.SetState(CheckState(GetIntSetting(store, kLogMessages)));
    UpdateViewButton();
    ShowWhatPoliciesSet();
    // The focus is in the name box, or where Tab would take it from there.
    if (m_name.IsEnabled())
        m_name.Focus();
    else
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, 0, FALSE);
    return false;
}

// What a policy sets is shown greyed; View stays, since the log is the
// user's to read whether or not a policy turned it on.
void CGeneralPage::ShowWhatPoliciesSet() {
    const CSettingsStore& store = m_context.store;
    bool any = false;
    auto lock = [&any](const CDialogItem& control, bool setByPolicy) {
        control.Enable(!setByPolicy);
        any = any || setByPolicy;
    };
    lock(m_name, UserNameSetByPolicy(store));
    lock(m_lastSender, IntSettingSetByPolicy(store, kDefaultToLastSender));
    lock(m_promptAllUsers, IntSettingSetByPolicy(store, kPromptOnAllUsers));
    lock(m_onNewMessage, IntSettingSetByPolicy(store, kOnNewMessage));
    lock(m_playSound, IntSettingSetByPolicy(store, kPlaySnd));
    lock(m_log, IntSettingSetByPolicy(store, kLogMessages));
    ShowPolicyNote(Hwnd(), any);
}

bool CGeneralPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_USERNAME:
        if (code == EN_CHANGE) OnNameChange();
        return true;
    case IDC_LOGMESSAGES:
        if (code == BN_CLICKED) UpdateViewButton();
        return true;
    case IDC_VIEWLOG:
        if (code == BN_CLICKED) OnView();
        return true;
    default:
        return CPropertyPage::OnCommand(id, code, control);
    }
}

// The sheet ends its initialisation by giving the first control the focus,
// which selects the whole name, and the first key typed would replace it.
// The caret goes after the name once that is done; later visits by Tab
// select it, as in any dialog.
std::optional<LRESULT> CGeneralPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kPlaceCaret) return CPropertyPage::OnMessage(message, wParam, lParam);
    PlaceCaretAfterName();
    return 0;
}

void CGeneralPage::PlaceCaretAfterName() {
    const int end = static_cast<int>(m_name.Text().size());
    m_name.Select(end, end);
    m_name.ScrollCaret();
}

void CGeneralPage::UpdateViewButton() { m_viewButton.Enable(m_log.IsChecked()); }

// A name holds no tabs: a typed or pasted one becomes a space at once.
// Putting the text back changes it again, and then there is no tab left.
void CGeneralPage::OnNameChange() {
    m_name.CutToCharacters(kMaxUserNameLength);
    std::string text = m_name.Text();
    if (!ReplaceTabsWithSpaces(text)) return;
    const auto [start, end] = m_name.Selection();
    m_name.SetText(text);
    m_name.Select(static_cast<int>(start), static_cast<int>(end));
    m_name.ScrollCaret();
}

// Whether the log exists is not looked at first: the shell or Notepad says
// so better than a message of ours could.
void CGeneralPage::OnView() {
    const std::string path = GetLogFilePath(m_context.files, m_context.system);
    if (m_context.ui.ShellOpen(path, "")) return;
    if (m_context.ui.ShellOpen("notepad.exe", "\"" + path + "\"")) return;
    m_context.ui.ShowMessage(Hwnd(), kLogNotOpenedText, MB_OK);
}

bool CGeneralPage::OnApply() {
    CSettingsStore& store = m_context.store;
    // A greyed control holds what a policy sets: storing it as the user's
    // own would outlast the policy.
    auto store_ = [this, &store](const CDialogItem& control, const CIntSetting& setting, int value) {
        if (control.IsEnabled()) SetIntSetting(store, setting, value);
    };
    // Stored as typed: the name is cleaned wherever it is read.
    if (m_name.IsEnabled()) SetCurrentUserName(store, m_name.Text());
    store_(m_lastSender, kDefaultToLastSender, m_lastSender.State());
    store_(m_promptAllUsers, kPromptOnAllUsers, m_promptAllUsers.State());
    store_(m_playSound, kPlaySnd, m_playSound.State());
    // A stored reaction that is none of the three selects nothing; it then
    // stays as it was rather than becoming the list's "no selection".
    if (const int reaction = m_onNewMessage.Selection(); reaction >= 0) store_(m_onNewMessage, kOnNewMessage, reaction);
    store_(m_log, kLogMessages, m_log.State());
    return true;
}

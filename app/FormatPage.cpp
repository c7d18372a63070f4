#include "app/FormatPage.h"

#include <cstdint>
#include <cstring>

#include "app/PolicyNote.h"
#include "chattext/FormatChoices.h"
#include "platform/win32/Win32CharFormat.h"
#include "settings/ChatTextBackground.h"
#include "settings/FontSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/SettingsStore.h"

namespace {

void ReadFormat(const CSettingsKey& key, CHARFORMATW& format, const CHARFORMATW* source, bool boldByDefault) {
    CCharFormat read;
    if (source) {
        const CCharFormat copy = FromPlatformCharFormat(*source);
        ReadFontSetting(key, read, &copy, boldByDefault);
    } else {
        ReadFontSetting(key, read, nullptr, boldByDefault);
    }
    format = ToPlatformCharFormat(read);
    format.cbSize = sizeof format;
}

}  // namespace

std::string CFormatPage::CExampleSettings::PrefixCode() { return GetPrefixSetting(m_store); }

void CFormatPage::CExampleSettings::ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    ReadFormat(m_store.PrefixFont(), format, source, true);
}

void CFormatPage::CExampleSettings::ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    ReadFormat(m_store.GeneralFont(), format, source, false);
}

CFormatPage::CFormatPage(COptionsContext& context)
    : CPropertyPage(IDD_OPTIONS_FORMAT),
      m_context(context),
      m_exampleSettings(context.store),
      m_example(m_exampleSettings, context.timeZone) {}

void CFormatPage::BindControls() { m_prefixList.Bind(Hwnd()); }

bool CFormatPage::OnInitDialog() {
    m_example.ReplaceDialogControl(IDC_EXAMPLE, Hwnd());
    m_example.EnableLinks(true);
    m_example.EnableContextMenu(false);
    // A link in the example opens as one in the chat window's history does.
    if (m_context.history) m_example.SetOpener(m_context.history->Opener());
    m_example.EnableLogging(false);
    SetExampleBackground(GetChatTextBackground(m_context.store, m_context.system));

    ReadFontSetting(m_context.store.PrefixFont(), m_pendingPrefix, nullptr, true);
    ReadFontSetting(m_context.store.GeneralFont(), m_pendingMessage, nullptr, false);
    UpdateExample();  // the list is still empty: the stored prefix code applies

    // With the focus, the example keeps its view at the top while the
    // samples go in, instead of following the newest.
    const HWND focus = ::GetFocus();
    ::SetFocus(m_example.Hwnd());
    for (const CMessageRecord& sample : FormatSampleMessages(m_context.timeZone)) m_example.AppendMessage(sample);
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);

    const std::string stored = GetPrefixSetting(m_context.store);
    for (const CPrefixChoice& choice : kPrefixChoices) {
        const int added = m_prefixList.Add(std::string(choice.shown));
        if (choice.code == stored) m_prefixList.Select(added);
    }
    ShowWhatPoliciesSet();
    return true;
}

// What a policy sets is shown, in the example too, but its control is greyed.
void CFormatPage::ShowWhatPoliciesSet() {
    const CSettingsStore& store = m_context.store;
    const struct {
        int control;
        bool setByPolicy;
    } controls[] = {
        {IDC_PREFIXLIST, PrefixSettingSetByPolicy(store)},
        {IDC_BACKGROUND, ChatTextBackgroundSetByPolicy(store)},
        {IDC_PREFIXFONT, FontSettingSetByPolicy(store.PrefixFont())},
        {IDC_MESSAGEFONT, FontSettingSetByPolicy(store.GeneralFont())},
    };
    bool any = false;
    for (const auto& c : controls) {
        ::EnableWindow(::GetDlgItem(Hwnd(), c.control), c.setByPolicy ? FALSE : TRUE);
        any = any || c.setByPolicy;
    }
    ShowPolicyNote(Hwnd(), any);
}

bool CFormatPage::IsControlEnabled(int control) const {
    return ::IsWindowEnabled(::GetDlgItem(Hwnd(), control)) != FALSE;
}

bool CFormatPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_PREFIXLIST:
        if (code == CBN_SELCHANGE) UpdateExample();
        return true;
    case IDC_BACKGROUND:
        if (code == BN_CLICKED) OnBackground();
        return true;
    case IDC_PREFIXFONT:
        if (code == BN_CLICKED) PickFont(m_prefixFontDialog, m_pendingPrefix);
        return true;
    case IDC_MESSAGEFONT:
        if (code == BN_CLICKED) PickFont(m_messageFontDialog, m_pendingMessage);
        return true;
    default:
        return CPropertyPage::OnCommand(id, code, control);
    }
}

std::optional<LRESULT> CFormatPage::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_EXAMPLE && header.code == EN_LINK)
        return m_example.OnLink(reinterpret_cast<const ENLINK&>(header));
    return CPropertyPage::OnNotify(header);
}

// The code of the selected choice; empty (the stored code applies) when
// none is selected.
std::string CFormatPage::GetSelectedPrefixCode() const {
    const int selected = m_prefixList.Selection();
    if (selected < 0) return {};
    return std::string(PrefixCodeOfShownText(m_prefixList.ItemText(selected)));
}

void CFormatPage::UpdateExample() {
    const CHARFORMATW prefix = ToPlatformCharFormat(m_pendingPrefix);
    const CHARFORMATW message = ToPlatformCharFormat(m_pendingMessage);
    m_example.Rerender(&prefix, &message, GetSelectedPrefixCode());
}

void CFormatPage::SetExampleBackground(COLORREF color) {
    ::SendMessageW(m_example.Hwnd(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
}

// The dialog keeps its colour and custom colours from one use to the next;
// the two named backgrounds always stand first in its two rows.
void CFormatPage::OnBackground() {
    if (!m_colorDialog) m_colorDialog.emplace(GetChatTextBackground(m_context.store, m_context.system), Hwnd());
    CColorChoice& dialog = *m_colorDialog;
    dialog.CustomColors()[0] = m_context.system.QuerySystemColor(ESystemColor::Window);
    dialog.CustomColors()[8] = m_context.system.QuerySystemColor(ESystemColor::ButtonFace);
    const COLORREF before = dialog.Color();
    if (!m_context.ui.ChooseColor(dialog.Dialog())) dialog.Dialog().rgbResult = before;
    SetExampleBackground(dialog.Color());
}

// The dialog opens on the font the example really draws: a format that
// names no face or size is shown in the control's own.
void CFormatPage::PickFont(std::optional<CFontChoice>& dialog, CCharFormat& pending) {
    if (!dialog) {
        const CHARFORMATW& drawn = &pending == &m_pendingPrefix ? m_example.PrefixFormat() : m_example.MessageFormat();
        CCharFormat start = pending;
        const CCharFormat shown = FromPlatformCharFormat(m_example.ShownFormat(drawn));
        const auto take = [&](std::uint32_t field) { return !(start.dwMask & field) && (shown.dwMask & field); };
        if (take(kCfmFace)) {
            std::memcpy(start.szFaceName, shown.szFaceName, sizeof start.szFaceName);
            start.bPitchAndFamily = shown.bPitchAndFamily;
        }
        if (take(kCfmSize)) start.yHeight = shown.yHeight;
        if (take(kCfmCharset)) start.bCharSet = shown.bCharSet;
        start.dwMask |= shown.dwMask & (kCfmFace | kCfmSize | kCfmCharset);
        dialog.emplace(start, Hwnd());
    }
    if (!m_context.ui.ChooseFont(dialog->Dialog())) return;
    MergeChosenFont(dialog->Chosen(), pending);
    UpdateExample();
}

bool CFormatPage::OnApply() {
    CSettingsStore& store = m_context.store;
    // A greyed control holds what a policy sets: storing it as the user's
    // own would outlast the policy.
    if (m_colorDialog && IsControlEnabled(IDC_BACKGROUND))
        SetChatTextBackground(store, m_context.system, m_colorDialog->Color());
    if (const std::string code = GetSelectedPrefixCode(); !code.empty() && IsControlEnabled(IDC_PREFIXLIST))
        SetPrefixSetting(store, code);
    if (IsControlEnabled(IDC_MESSAGEFONT)) WriteFontSetting(store.GeneralFont(), m_pendingMessage);
    if (IsControlEnabled(IDC_PREFIXFONT)) WriteFontSetting(store.PrefixFont(), m_pendingPrefix);
    // The chat window takes its background itself once the sheet is closed.
    if (m_context.history && m_context.history->Hwnd() && ::IsWindow(m_context.history->Hwnd()))
        m_context.history->Rerender(nullptr, nullptr, {});
    return true;
}

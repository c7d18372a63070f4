#include "app/QuickKeysPage.h"

#include <algorithm>
#include <utility>

#include "app/PolicyNote.h"
#include "settings/QuickKeySettings.h"
#include "settings/SettingsStore.h"
#include "util/win32/Handles.h"

namespace {

// A row is the key's name and its text, split at the first tab; a row
// without one has no text part.
std::pair<std::string, std::string> SplitRow(const std::string& row) {
    const auto tab = row.find('\t');
    if (tab == std::string::npos) return {row, {}};
    return {row.substr(0, tab), row.substr(tab + 1)};
}

}  // namespace

void CQuickKeysPage::BindControls() {
    for (CDialogItem* item : std::initializer_list<CDialogItem*>{&m_label, &m_text, &m_keys}) item->Bind(Hwnd());
}

bool CQuickKeysPage::OnInitDialog() {
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key) {
        const std::string text = GetQuickKeyText(m_context.store, key);
        m_keys.Add(QuickKeyValueName(key) + "\t" + (text.empty() ? std::string(kNoQuickKeyText) : text));
    }
    bool any = false;
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key) any = any || QuickKeySetByPolicy(m_context.store, key);
    ShowPolicyNote(Hwnd(), any);
    m_keys.Select(0);
    ShowSelectedRow();
    SetTabStop();
    return false;  // the focus is in the edit box
}

// One tab stop a third beyond the widest key name, so that the texts start
// in one column.
void CQuickKeysPage::SetTabStop() {
    const CWindowDc dc(m_keys.Hwnd());
    if (!dc.Get()) return;
    int widest = 0;
    for (int row = 0; row < m_keys.Count(); ++row) {
        const std::string key = SplitRow(m_keys.ItemText(row)).first;
        SIZE size{};
        if (::GetTextExtentPoint32A(dc.Get(), key.c_str(), static_cast<int>(key.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    const int baseUnit = LOWORD(::GetDialogBaseUnits());
    if (baseUnit > 0) m_keys.SetTabStop(4 * (4 * widest / 3) / baseUnit);
}

void CQuickKeysPage::ShowSelectedRow() {
    const auto [key, text] = SplitRow(m_keys.ItemText(m_keys.Selection()));
    // F5 reads "F5:" with the F as its mnemonic, which leads to the box.
    m_label.SetText("&" + key + ":");
    // A key a policy sets shows its text read-only (greyed): the box keeps
    // the focus, so the function and arrow keys still move to the others.
    m_text.Send(EM_SETREADONLY, IsSetByPolicy(key) ? TRUE : FALSE);
    m_text.SetText(text);
    m_text.Select(0, -1);
    m_text.ScrollCaret();
    m_text.Focus();
}

bool CQuickKeysPage::IsSetByPolicy(const std::string& key) const {
    for (int number = kFirstQuickKey; number <= kLastQuickKey; ++number)
        if (QuickKeyValueName(number) == key) return QuickKeySetByPolicy(m_context.store, number);
    return false;
}

bool CQuickKeysPage::PreTranslateKey(const MSG& message) {
    const bool keyDown = message.message == WM_KEYDOWN;
    if (keyDown && (message.wParam == VK_UP || message.wParam == VK_DOWN || message.wParam == VK_PRIOR ||
                    message.wParam == VK_NEXT)) {
        // The list moves and tells of its new selection; the focus stays.
        m_keys.Send(WM_KEYDOWN, message.wParam, message.lParam);
        return true;
    }
    // F10 comes as a system key.
    if ((keyDown || message.message == WM_SYSKEYDOWN) && message.wParam >= VK_F2 && message.wParam <= VK_F12) {
        m_keys.Select(static_cast<int>(message.wParam - VK_F2));
        ShowSelectedRow();
        return true;
    }
    return CPropertyPage::PreTranslateKey(message);
}

bool CQuickKeysPage::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_QUICKKEYLIST:
        if (code == LBN_SELCHANGE) ShowSelectedRow();
        return true;
    case IDC_QUICKKEYTEXT:
        if (code == EN_UPDATE) OnTextUpdate();
        return true;
    default:
        return CPropertyPage::OnCommand(id, code, control);
    }
}

// An emptied box shows "(none)", selected so that typing replaces it; that
// change comes back here and goes into the row. Otherwise the row takes the
// box's text in its place.
void CQuickKeysPage::OnTextUpdate() {
    const std::string text = m_text.Text();
    if (text.empty()) {
        m_text.SetText(kNoQuickKeyText);
        m_text.Select(0, -1);
        m_text.ScrollCaret();
        return;
    }
    const int row = std::max(0, m_keys.Selection());
    const std::string old = m_keys.ItemText(row);
    const auto [key, rowText] = SplitRow(old);
    if (rowText == text && old.find('\t') != std::string::npos) return;
    m_keys.Send(WM_SETREDRAW, FALSE);
    m_keys.Delete(row);
    m_keys.Insert(row, key + "\t" + text);
    m_keys.Select(row);
    m_keys.Send(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_keys.Hwnd(), nullptr, TRUE);
}

bool CQuickKeysPage::OnApply() {
    CSettingsKey& keys = m_context.store.QuickKeys();
    for (int row = 0; row < m_keys.Count(); ++row) {
        const std::string line = m_keys.ItemText(row);
        if (line.find('\t') == std::string::npos) continue;
        const auto [key, text] = SplitRow(line);
        if (IsSetByPolicy(key)) continue;  // storing it would outlast the policy
        keys.WriteString(key, text == kNoQuickKeyText ? std::string() : text);
    }
    FlushQuickKeys(m_context.store);
    return true;
}

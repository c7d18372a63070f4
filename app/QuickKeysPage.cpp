#include "app/QuickKeysPage.h"

#include <algorithm>

#include "app/PolicyNote.h"
#include "settings/QuickKeySettings.h"
#include "settings/SettingsStore.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

void CQuickKeysPage::BindControls() {
    for (CDialogItem* item : std::initializer_list<CDialogItem*>{&m_label, &m_text, &m_keys}) item->Bind(Hwnd());
}

bool CQuickKeysPage::OnInitDialog() {
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const std::string text = GetQuickKeyText(m_context.store, kFirstQuickKey + static_cast<int>(row));
        m_rows[row] = text.empty() ? std::string(kNoQuickKeyText) : text;
        m_keys.Add(ShownRow(static_cast<int>(row)));
    }
    bool any = false;
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key) any = any || QuickKeySetByPolicy(m_context.store, key);
    ShowPolicyNote(Hwnd(), any);
    m_keys.Select(0);
    ShowSelectedRow();
    SetTabStop();
    return false;  // the focus is in the edit box
}

std::string CQuickKeysPage::RowText(int functionKey) const {
    if (functionKey < kFirstQuickKey || functionKey > kLastQuickKey) return {};
    return m_rows[static_cast<std::size_t>(functionKey - kFirstQuickKey)];
}

std::string CQuickKeysPage::ShownRow(int row) const {
    return QuickKeyValueName(kFirstQuickKey + row) + "\t" + m_rows[static_cast<std::size_t>(row)];
}

// One tab stop a third beyond the widest key name, so that the texts start
// in one column.
void CQuickKeysPage::SetTabStop() {
    const CWindowDc dc(m_keys.Hwnd());
    if (!dc.Get()) return;
    int widest = 0;
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key) {
        const std::wstring name = Widen(QuickKeyValueName(key));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc.Get(), name.c_str(), static_cast<int>(name.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    const int baseUnit = LOWORD(::GetDialogBaseUnits());
    if (baseUnit > 0) m_keys.SetTabStop(4 * (4 * widest / 3) / baseUnit);
}

void CQuickKeysPage::ShowSelectedRow() { ShowRow(std::clamp(m_keys.Selection(), 0, static_cast<int>(m_rows.size()) - 1)); }

void CQuickKeysPage::ShowRow(int row) {
    // F5 reads "F5:" with the F as its mnemonic, which leads to the box.
    const int key = kFirstQuickKey + row;
    m_label.SetText("&" + QuickKeyValueName(key) + ":");
    // A key a policy sets shows its text read-only (greyed): the box keeps
    // the focus, so the function and arrow keys still move to the others.
    m_text.Send(EM_SETREADONLY, QuickKeySetByPolicy(m_context.store, key) ? TRUE : FALSE);
    m_text.SetText(m_rows[static_cast<std::size_t>(row)]);
    m_text.Select(0, -1);
    m_text.ScrollCaret();
    m_text.Focus();
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
    const int row = std::clamp(m_keys.Selection(), 0, static_cast<int>(m_rows.size()) - 1);
    if (m_rows[static_cast<std::size_t>(row)] == text) return;
    m_rows[static_cast<std::size_t>(row)] = text;
    m_keys.Send(WM_SETREDRAW, FALSE);
    m_keys.Delete(row);
    m_keys.Insert(row, ShownRow(row));
    m_keys.Select(row);
    m_keys.Send(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_keys.Hwnd(), nullptr, TRUE);
}

bool CQuickKeysPage::OnApply() {
    CSettingsKey& keys = m_context.store.QuickKeys();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const int key = kFirstQuickKey + static_cast<int>(row);
        if (QuickKeySetByPolicy(m_context.store, key)) continue;  // storing it would outlast the policy
        const std::string& text = m_rows[row];
        keys.WriteString(QuickKeyValueName(key), text == kNoQuickKeyText ? std::string() : text);
    }
    FlushQuickKeys(m_context.store);
    return true;
}

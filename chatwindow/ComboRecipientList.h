#pragma once
// The To: list control as the refresh sees it: a sorted drop-down list whose
// item texts are the only key. The control compares without regard to case,
// as the refresh rules expect.

#include <windows.h>

#include <string>

#include "chatwindow/RecipientList.h"

class CComboRecipientList final : public CRecipientList {
public:
    explicit CComboRecipientList(HWND combo) : m_combo(combo) {}

    int FindExact(std::string_view text) const override;
    int FindPrefix(std::string_view text) const override;
    int Add(std::string_view text) override;
    void Delete(int index) override;
    int Selection() const override;
    void Select(int index) override;

    int Count() const;
    std::string Text(int index) const;
    std::string SelectedText() const;

private:
    LRESULT Send(UINT message, WPARAM wParam, const std::string& text) const {
        return ::SendMessageA(m_combo, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
    }

    HWND m_combo;
};

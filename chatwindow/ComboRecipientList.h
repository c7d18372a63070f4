#pragma once
// The To: list control as the refresh sees it: a sorted drop-down list whose
// item texts are the only key. The control compares without regard to case,
// as the refresh rules expect. The adapter keeps the texts it has seen, so
// that an entry known to be there needs no search through the control.

#include <windows.h>

#include <set>
#include <string>

#include "chatwindow/RecipientList.h"
#include "util/win32/WideText.h"

class CComboRecipientList final : public CRecipientList {
public:
    // Reads the control's entries once; afterwards every change of the
    // list must go through this object.
    explicit CComboRecipientList(HWND combo);

    int FindExact(std::string_view text) const override;
    int FindPrefix(std::string_view text) const override;
    bool SurelyContains(std::string_view text) const override;
    bool SurelyLacks(std::string_view text) const override;
    int Add(std::string_view text) override;
    void Delete(int index) override;
    int Selection() const override;
    void Select(int index) override;

    int Count() const;
    std::string Text(int index) const;
    std::string SelectedText() const;

private:
    LRESULT Send(UINT message, WPARAM wParam, const std::string& text) const {
        return ::SendMessageW(m_combo, message, wParam, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    }

    HWND m_combo;
    std::multiset<std::string> m_lowered;  // the entries, ASCII letters lowered
};

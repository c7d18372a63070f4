#pragma once
// Typed wrappers for the standard controls that dialogs and property pages
// talk to, each bound once by its id like any CDialogItem. They only name
// the control's own messages; a wrapper of a control that is not there does
// nothing and answers as for an empty control.

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "util/win32/Dialog.h"
#include "util/win32/WideText.h"

class CCheckBox : public CDialogItem {
public:
    using CDialogItem::CDialogItem;
    // BM_GETCHECK as it is: 0 clear, 1 ticked, 2 indeterminate.
    int State() const { return static_cast<int>(Send(BM_GETCHECK)); }
    bool IsChecked() const { return State() == BST_CHECKED; }
    void SetState(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

// The list part shared by combo boxes and list boxes, which name the same
// operations with messages of their own.
template <UINT AddString, UINT InsertString, UINT DeleteString, UINT GetCount, UINT GetCurSel, UINT SetCurSel,
          UINT GetTextLen, UINT GetText, UINT ResetContent>
class CListControl : public CDialogItem {
public:
    using CDialogItem::CDialogItem;
    // The index of the new item, or a negative error value.
    int Add(const std::string& text) const {
        return static_cast<int>(Send(AddString, 0, reinterpret_cast<LPARAM>(Widen(text).c_str())));
    }
    int Insert(int index, const std::string& text) const {
        return static_cast<int>(
            Send(InsertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Widen(text).c_str())));
    }
    void Delete(int index) const { Send(DeleteString, static_cast<WPARAM>(index)); }
    void Clear() const { Send(ResetContent); }
    int Count() const { return Hwnd() ? static_cast<int>(Send(GetCount)) : 0; }
    // -1 when nothing is selected.
    int Selection() const { return Hwnd() ? static_cast<int>(Send(GetCurSel)) : -1; }
    void Select(int index) const { Send(SetCurSel, static_cast<WPARAM>(index)); }
    // Empty for an index that is not there.
    std::string ItemText(int index) const {
        const auto length = Send(GetTextLen, static_cast<WPARAM>(index));
        if (length <= 0) return {};
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = Send(GetText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? std::min(static_cast<std::size_t>(copied), text.size()) : 0);
        return Narrow(text);
    }
};

class CComboBox : public CListControl<CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_GETCURSEL,
                                       CB_SETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_RESETCONTENT> {
public:
    using CListControl::CListControl;
    // Selects the first item, from the top, that begins with `prefix` (any
    // letter case); the index, or a negative value when none does.
    int SelectByPrefix(const std::string& prefix) const {
        return static_cast<int>(
            Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Widen(prefix).c_str())));
    }
    bool IsDroppedDown() const { return Send(CB_GETDROPPEDSTATE) != 0; }
};

class CListBox : public CListControl<LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT, LB_GETCURSEL,
                                     LB_SETCURSEL, LB_GETTEXTLEN, LB_GETTEXT, LB_RESETCONTENT> {
public:
    using CListControl::CListControl;
    // One tab stop for every item, in dialog template units.
    void SetTabStop(int dialogUnits) const { Send(LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&dialogUnits)); }
};

class CEditBox : public CDialogItem {
public:
    using CDialogItem::CDialogItem;
    // In the control's own units: UTF-16 code units, of which a character
    // beyond the Basic Multilingual Plane (an emoji) takes two.
    void SetLimit(int units) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(units)); }
    // A limit in characters, which the control cannot count itself: it
    // takes room for two units a character, and CutToCharacters, run on
    // EN_UPDATE, takes back what goes beyond. True when it cut.
    void LimitCharacters(std::size_t characters) const { SetLimit(static_cast<int>(2 * characters)); }
    bool CutToCharacters(std::size_t characters) const {
        const std::wstring text = WideText();
        const std::size_t keep = UnitsOfCharacters(text, characters);
        if (keep >= text.size()) return false;
        ::SetWindowTextW(Hwnd(), text.substr(0, keep).c_str());
        Select(static_cast<int>(keep), static_cast<int>(keep));
        return true;
    }
    std::wstring WideText() const {
        if (!Hwnd()) return {};
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(Hwnd())) + 1, L'\0');
        text.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size())))));
        return text;
    }
    // Start and end of the selection (the caret when they are equal).
    std::pair<DWORD, DWORD> Selection() const {
        DWORD start = 0, end = 0;
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    // A start of -1 removes the selection; an end of -1 runs to the end.
    void Select(int start, int end) const { Send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end)); }
    void ScrollCaret() const { Send(EM_SCROLLCARET); }
    // Typed over the selection, so that Undo takes it back.
    void ReplaceSelection(const std::string& text) const {
        Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    }
};

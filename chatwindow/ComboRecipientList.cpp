#include "chatwindow/ComboRecipientList.h"

#include <algorithm>

#include "util/AsciiText.h"

namespace {

// Searches start after the given index; -1 searches the whole list.
constexpr WPARAM kFromTheTop = static_cast<WPARAM>(-1);

int IndexOrNone(LRESULT result) { return result < 0 ? CRecipientList::kNone : static_cast<int>(result); }

}  // namespace

CComboRecipientList::CComboRecipientList(HWND combo) : m_combo(combo) {
    for (int i = 0; i < Count(); ++i) m_lowered.insert(LowerAscii(Text(i)));
}

int CComboRecipientList::FindExact(std::string_view text) const {
    return IndexOrNone(Send(CB_FINDSTRINGEXACT, kFromTheTop, std::string(text)));
}

int CComboRecipientList::FindPrefix(std::string_view text) const {
    return IndexOrNone(Send(CB_FINDSTRING, kFromTheTop, std::string(text)));
}

// Texts equal but for ASCII case are equal to the control too, which also
// ignores the case of other letters: a miss here only means "search".
bool CComboRecipientList::SurelyContains(std::string_view text) const {
    return m_lowered.count(LowerAscii(text)) > 0;
}

// Every entry was added through this object with the text it still has.
bool CComboRecipientList::SurelyLacks(std::string_view text) const { return m_lowered.count(LowerAscii(text)) == 0; }

int CComboRecipientList::Add(std::string_view text) {
    const int index = IndexOrNone(Send(CB_ADDSTRING, 0, std::string(text)));
    if (index != kNone) m_lowered.insert(LowerAscii(text));
    return index;
}

void CComboRecipientList::Delete(int index) {
    const std::string text = Text(index);
    if (::SendMessageW(m_combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0) < 0) return;
    const auto found = m_lowered.find(LowerAscii(text));
    if (found != m_lowered.end()) m_lowered.erase(found);
}

int CComboRecipientList::Selection() const { return IndexOrNone(::SendMessageW(m_combo, CB_GETCURSEL, 0, 0)); }

void CComboRecipientList::Select(int index) { ::SendMessageW(m_combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int CComboRecipientList::Count() const { return std::max(0, IndexOrNone(::SendMessageW(m_combo, CB_GETCOUNT, 0, 0))); }

std::string CComboRecipientList::Text(int index) const {
    const LRESULT length = ::SendMessageW(m_combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(m_combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : std::min(static_cast<std::size_t>(copied), text.size()));
    return Narrow(text);
}

std::string CComboRecipientList::SelectedText() const {
    const int selection = Selection();
    return selection == kNone ? std::string() : Text(selection);
}

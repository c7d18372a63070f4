#include "chattext/ChatTextCtrl.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

#include "chattext/OpenLink.h"
#include "chattext/PrefixCode.h"
#include "chattext/TextSlices.h"
#include "platform/CharFormat.h"
#include "util/win32/WideText.h"

namespace {

CHARFORMATW EmptyFormat() {
    CHARFORMATW format{};
    format.cbSize = sizeof format;
    return format;
}

// Rich Edit draws a run in a font of the format's character set, and the
// Western set has no Cyrillic, Greek or CJK letters: where the control does
// not bind another font to them itself (Wine's does not), they show as
// boxes. The default set lets the font mapper and the system's font links
// find every script; Western text draws as before.
CHARFORMATW AnyScript(CHARFORMATW format) {
    if (!(format.dwMask & CFM_CHARSET) || format.bCharSet == ANSI_CHARSET) {
        format.dwMask |= CFM_CHARSET;
        format.bCharSet = DEFAULT_CHARSET;
    }
    return format;
}

// The control's limit counts UTF-16 units, so the shown lengths do too.
std::int32_t DisplayLength(const std::string& line) {
    return static_cast<std::int32_t>(std::min<std::size_t>(Widen(line).size(), INT32_MAX));
}

// Scrolling loops stop when a step moves nothing, so that a control that
// cannot scroll (no window size yet, a placeholder) never holds the thread.
constexpr int kMaxScrollSteps = 100000;

// A message text longer than this goes in as pieces of this many
// characters, each a run of its own (see TextSlices.h), with the control's
// wrapping paused while they go in: one 20,480-character paragraph held
// the window for seconds.
constexpr std::size_t kTextPieceCharacters = 512;

// Neighbouring pieces differ only in a kerning threshold that no font size
// of the history reaches (in twips), so that the control keeps them apart
// as runs while they look the same.
constexpr WORD kPieceMarkKerning = 32000;

// In bytes, which are never fewer than the characters: a line that pauses
// the wrapping for nothing costs only the one wrapping at the end.
bool HasLongText(const std::vector<std::pair<std::string, std::size_t>>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const auto& line) { return line.first.size() - line.second > kTextPieceCharacters; });
}

// Wrapping off while long texts go in, and on again (wrapped to the window)
// when they are all in: then each paragraph is wrapped once.
class CWrapPause {
public:
    CWrapPause(HWND control, bool pause) : m_control(pause ? control : nullptr) {
        if (m_control) ::SendMessageW(m_control, EM_SETTARGETDEVICE, 0, 1);
    }
    ~CWrapPause() {
        if (m_control) ::SendMessageW(m_control, EM_SETTARGETDEVICE, 0, 0);
    }
    CWrapPause(const CWrapPause&) = delete;
    CWrapPause& operator=(const CWrapPause&) = delete;

private:
    HWND m_control;
};

}  // namespace

CChatTextCtrl::CChatTextCtrl(CHistorySettings& settings, const CTimeZone& timeZone)
    : m_settings(settings),
      m_timeZone(timeZone),
      m_baseFormat(EmptyFormat()),
      m_prefixFormat(EmptyFormat()),
      m_messageFormat(EmptyFormat()) {}

LRESULT CChatTextCtrl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_window ? ::SendMessageW(m_window, message, wParam, lParam) : 0;
}

bool CChatTextCtrl::ReplaceDialogControl(int id, HWND dialog) {
    if (!m_window || ::GetDlgCtrlID(m_window) != id) {
        m_window = ::GetDlgItem(dialog, id);
        if (!m_window) return false;
        OnAttached();
    }
    const HWND placeholder = m_window;
    const HWND parent = ::GetParent(placeholder);
    RECT rect{};
    ::GetWindowRect(placeholder, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(placeholder, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(placeholder, GWL_EXSTYLE));
    CHARFORMATW format = EmptyFormat();
    Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));

    const HWND created = ::CreateWindowExW(
        exStyle, RICHEDIT_CLASSW, L"", style | ES_SAVESEL, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!created) {
        ListenToInput();
        return ::IsWindow(placeholder) != FALSE;
    }

    ::SetWindowPos(created, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::DestroyWindow(placeholder);
    m_window = created;
    format.dwMask |= CFM_FACE | CFM_BOLD;
    format = AnyScript(format);
    Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    ListenToInput();
    return true;
}

void CChatTextCtrl::ListenToInput() {
    const auto mask = static_cast<LPARAM>(Send(EM_GETEVENTMASK));
    Send(EM_SETEVENTMASK, 0, mask | ENM_MOUSEEVENTS | ENM_KEYEVENTS);
}

void CChatTextCtrl::OnAttached() {
    m_baseFormat = EmptyFormat();
    Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_baseFormat));
    Rerender(nullptr, nullptr, {});
    Send(EM_SETREADONLY, TRUE);
}

void CChatTextCtrl::EnableLinks(bool on) {
    if (on) {
        const auto mask = static_cast<LPARAM>(Send(EM_GETEVENTMASK));
        Send(EM_SETEVENTMASK, 0, mask | ENM_LINK);
    }
    Send(EM_AUTOURLDETECT, on ? TRUE : FALSE);
}

std::string CChatTextCtrl::GetPrefixCode() {
    return m_prefixCodeOverride.empty() ? m_settings.PrefixCode() : m_prefixCodeOverride;
}

std::string CChatTextCtrl::ComposeLine(const std::string& prefixCode, const CMessageRecord& record,
                                      std::size_t& prefixLength) {
    const std::string prefix = record.notice ? std::string() : ExpandPrefix(prefixCode, record, m_timeZone);
    prefixLength = prefix.size();
    return ComposeHistoryLine(prefix, record.text);
}

void CChatTextCtrl::LogLine(const std::string& line) {
    if (m_loggingEnabled) m_settings.LogLine(line, m_logHeaderPending);
}

void CChatTextCtrl::AppendMessage(const CMessageRecord& record) { AppendMessages({record}); }

void CChatTextCtrl::AppendMessages(const std::vector<CMessageRecord>& records) {
    if (records.empty()) return;
    const std::string prefixCode = GetPrefixCode();
    std::vector<std::pair<std::string, std::size_t>> lines(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        CMessageRecord shown = records[i];
        lines[i].first = ComposeLine(prefixCode, shown, lines[i].second);
        shown.displayLength = DisplayLength(lines[i].first);
        m_shown.Append(shown);
        LogLine(lines[i].first);
    }
    // A quit command read in the same step may have ended the window; the
    // log has the lines all the same.
    if (!::IsWindow(m_window)) return;

    CHARRANGE selection = Selection();
    const LONG firstVisible = FirstVisibleLine();
    SetRedraw(false);
    // The oldest go in one deletion; new lines that do not fit beside the
    // newest are never drawn at all.
    const std::size_t drawn = m_shown.Size() - lines.size();
    const auto limit = static_cast<std::int64_t>(Send(EM_GETLIMITTEXT));
    std::size_t dropped = 0;
    LONG span = 0;
    for (; m_shown.MustTrim(limit); ++dropped) {
        if (dropped < drawn) span += m_shown.Oldest().span;
        m_shown.DropOldest();
    }
    if (span > 0) {
        Select(0, span);
        ReplaceSelection("");
        // The user's selection stays on the text it was on.
        selection.cpMin = std::max<LONG>(0, selection.cpMin - span);
        selection.cpMax = std::max<LONG>(0, selection.cpMax - span);
    }
    {
        const CWrapPause wrapPause(m_window, HasLongText(lines));
        for (std::size_t i = dropped > drawn ? dropped - drawn : 0; i < lines.size(); ++i)
            m_shown.SetSpan(m_shown.Size() - (lines.size() - i), InsertLine(lines[i].first, lines[i].second));
    }

    if (::GetParent(m_window) && ::GetFocus() != m_window) {
        const LONG end = EndPosition();
        Select(end, end);
        ScrollToEnd();
    } else {
        // Setting the selection scrolls it into view; the reader's view
        // goes back to where it was.
        Select(selection.cpMin, selection.cpMax);
        Send(EM_LINESCROLL, 0, firstVisible - FirstVisibleLine());
    }
    SetRedraw(true);
    RedrawWhole();
}

// The prefix and the rest go in as two insertions so that the control's own
// count of each (it may keep a line end as one character, or a multi-byte
// character as one) tells where the formats begin and end.
LONG CChatTextCtrl::InsertLine(const std::string& line, std::size_t prefixLength) {
    const CHARRANGE saved = Selection();
    const LONG start = EndPosition();
    Select(start, start);
    ReplaceSelection(line.substr(0, prefixLength));
    const LONG textStart = EndPosition();
    Select(start, textStart);
    FormatSelection(m_baseFormat);
    FormatSelection(m_prefixFormat);

    // Each piece takes its format at the insertion point before it goes in:
    // every change to a paragraph makes the control measure all of it again,
    // so one change a piece.
    const std::string_view text = std::string_view(line).substr(prefixLength);
    const std::vector<std::string_view> pieces = TextSlices(text, kTextPieceCharacters);
    LONG end = textStart;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        Select(end, end);
        FormatSelection(m_baseFormat);
        FormatSelection(m_messageFormat);
        MarkInsertion(i % 2 == 1 ? kPieceMarkKerning : 0);
        ReplaceSelection(pieces[i]);
        end = EndPosition();
    }
    Select(saved.cpMin, saved.cpMax);
    return end - start;
}

// New text is no link until the control's detection says so: it must not
// take the link attribute of the text before it.
void CChatTextCtrl::MarkInsertion(WORD kerning) const {
    CHARFORMAT2W mark{};
    mark.cbSize = sizeof mark;
    mark.dwMask = CFM_LINK | CFM_KERNING;
    mark.wKerning = kerning;
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&mark));
}

// Leaves the last line on the bottom edge of the view rather than at its
// top. From the top, one page down tells the page height; the scroll to the
// end is then one jump, with page steps only to finish what it left.
void CChatTextCtrl::ScrollToEnd() {
    Send(EM_LINESCROLL, 0, -FirstVisibleLine());
    const LONG pageHeight = LOWORD(Send(EM_SCROLL, SB_PAGEDOWN));
    Send(EM_LINESCROLL, 0, LineCount());
    for (int i = 0; i < kMaxScrollSteps; ++i) {
        const LONG before = FirstVisibleLine();
        Send(EM_SCROLL, SB_PAGEDOWN);
        if (FirstVisibleLine() == before) break;
    }
    if (FirstVisibleLine() != LineCount() - 1) return;
    Send(EM_SCROLL, SB_PAGEUP);
    for (int i = 0; i < kMaxScrollSteps; ++i) {
        const LONG first = FirstVisibleLine();
        if (first == 0 || LineCount() - first <= pageHeight) break;
        Send(EM_SCROLL, SB_LINEDOWN);
        if (FirstVisibleLine() == first) break;
    }
}

void CChatTextCtrl::Rerender(const CHARFORMATW* prefixFormat, const CHARFORMATW* messageFormat,
                             std::string_view prefixCode) {
    m_prefixCodeOverride = std::string(prefixCode);
    m_settings.ReadPrefixFormat(m_prefixFormat, prefixFormat);
    m_settings.ReadMessageFormat(m_messageFormat, messageFormat);
    ReconcileFormats();

    CHARRANGE selection = Selection();
    selection.cpMin = selection.cpMax;

    CHARFORMATW whole = m_baseFormat;
    if (m_messageFormat.yHeight > 0) {
        whole.yHeight = m_messageFormat.yHeight;
        whole.dwMask |= CFM_SIZE;
    }
    SetRedraw(false);
    ::SetWindowTextW(m_window, L"");
    Select(0, -1);
    const CHARFORMATW drawnWhole = AnyScript(whole);
    Send(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&drawnWhole));
    FormatSelection(whole);

    // A longer prefix can make the messages longer than the limit: the
    // oldest go, as after an append, before anything is drawn.
    const std::string code = GetPrefixCode();
    std::vector<std::pair<std::string, std::size_t>> lines(m_shown.Size());
    for (std::size_t i = 0; i < m_shown.Size(); ++i) {
        lines[i].first = ComposeLine(code, m_shown[i].record, lines[i].second);
        m_shown.SetDisplayLength(i, DisplayLength(lines[i].first));
    }
    const auto limit = static_cast<std::int64_t>(Send(EM_GETLIMITTEXT));
    std::size_t dropped = 0;
    for (; m_shown.MustTrim(limit); ++dropped) m_shown.DropOldest();
    {
        const CWrapPause wrapPause(m_window, HasLongText(lines));
        for (std::size_t i = dropped; i < lines.size(); ++i)
            m_shown.SetSpan(i - dropped, InsertLine(lines[i].first, lines[i].second));
    }
    Select(selection.cpMin, selection.cpMax);
    SetRedraw(true);
    RedrawWhole();
}

// The scroll bar too: it is drawn in the frame, which the changes made
// while redrawing was off left as it was, without its thumb.
void CChatTextCtrl::RedrawWhole() const {
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void CChatTextCtrl::ReconcileFormats() {
    CHARFORMATW& prefix = m_prefixFormat;
    CHARFORMATW& message = m_messageFormat;
    if ((prefix.dwMask & CFM_SIZE) && !(message.dwMask & CFM_SIZE)) {
        message.yHeight = prefix.yHeight;
        if (message.yHeight != kNoHeight) message.dwMask |= CFM_SIZE;
    } else if ((message.dwMask & CFM_SIZE) && !(prefix.dwMask & CFM_SIZE)) {
        prefix.yHeight = message.yHeight;
        if (prefix.yHeight != kNoHeight) prefix.dwMask |= CFM_SIZE;
    }
    if (!(prefix.dwMask & CFM_FACE)) prefix.szFaceName[0] = L'\0';
    if (!(message.dwMask & CFM_FACE)) message.szFaceName[0] = L'\0';

    const auto takeFace = [](CHARFORMATW& format, const CHARFORMATW& other, const CHARFORMATW& base) {
        if (format.szFaceName[0] == L'\0') std::wmemcpy(format.szFaceName, other.szFaceName, LF_FACESIZE);
        if (format.szFaceName[0] == L'\0') std::wmemcpy(format.szFaceName, base.szFaceName, LF_FACESIZE);
        format.szFaceName[LF_FACESIZE - 1] = L'\0';
        if (format.szFaceName[0] != L'\0')
            format.dwMask |= CFM_FACE;
        else
            format.dwMask &= ~CFM_FACE;
    };
    takeFace(message, prefix, m_baseFormat);
    takeFace(prefix, message, m_baseFormat);
}

CHARFORMATW CChatTextCtrl::ShownFormat(const CHARFORMATW& format) const {
    CHARFORMATW shown = format;
    shown.cbSize = sizeof shown;
    const CHARFORMATW& base = m_baseFormat;
    if (!(shown.dwMask & CFM_FACE) && (base.dwMask & CFM_FACE) && base.szFaceName[0] != L'\0') {
        std::wmemcpy(shown.szFaceName, base.szFaceName, LF_FACESIZE);
        shown.bPitchAndFamily = base.bPitchAndFamily;
        shown.dwMask |= CFM_FACE;
    }
    if (!(shown.dwMask & CFM_SIZE) && (base.dwMask & CFM_SIZE) && base.yHeight > 0) {
        shown.yHeight = base.yHeight;
        shown.dwMask |= CFM_SIZE;
    }
    if (!(shown.dwMask & CFM_CHARSET) && (base.dwMask & CFM_CHARSET)) {
        shown.bCharSet = base.bCharSet;
        shown.dwMask |= CFM_CHARSET;
    }
    return shown;
}

void CChatTextCtrl::ClearAll() {
    ::SetWindowTextW(m_window, L"");
    m_shown.Clear();
}

LRESULT CChatTextCtrl::OnLink(const ENLINK& link) {
    LRESULT result = 0;
    switch (link.msg) {
    case WM_LBUTTONDOWN:
    case WM_SETCURSOR: {
        const std::string text = GetTextRange(link.chrg);
        result = 1;
        if (link.msg == WM_LBUTTONDOWN && !text.empty()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            if (m_opener) m_opener->OpenMessageLink(text, SenderAt(link.chrg.cpMin));
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            // The window under the pointer then sets its own cursor again.
            POINT point{};
            ::GetCursorPos(&point);
            ::SetCursorPos(point.x, point.y);
        } else if (link.msg == WM_SETCURSOR) {
            if (text.empty())
                ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
            else
                result = 0;  // the control shows its own link cursor
        }
        break;
    }
    case WM_LBUTTONUP:
        result = 1;
        break;
    default:
        break;
    }
    return result;
}

std::string CChatTextCtrl::GetTextRange(const CHARRANGE& range) {
    const LONG length = static_cast<LONG>(Send(WM_GETTEXTLENGTH));
    const LONG first = std::clamp<LONG>(range.cpMin, 0, length);
    const LONG last = range.cpMax < 0 ? length : std::clamp<LONG>(range.cpMax, first, length);
    if (last <= first) return {};

    ::UpdateWindow(m_window);
    SetRedraw(false);
    const CHARRANGE saved = Selection();
    Select(first, last);
    std::string text = SelectedText();
    Select(saved.cpMin, saved.cpMax);
    SetRedraw(true);
    return text;
}

// EM_GETSELTEXT writes as much as the selection takes into a buffer whose
// size it is not told. EM_GETTEXTEX is given the room in bytes, and in
// UTF-16 (code page 1200) one position of the selection is one unit.
std::string CChatTextCtrl::SelectedText() const {
    const CHARRANGE range = Selection();
    if (range.cpMax <= range.cpMin) return {};
    const std::size_t room = static_cast<std::size_t>(range.cpMax - range.cpMin) + 1;
    std::vector<wchar_t> buffer(room, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(room * sizeof(wchar_t));
    request.flags = GT_SELECTION;
    request.codepage = kUtf16CodePage;
    const auto copied = static_cast<std::size_t>(
        std::max<LRESULT>(0, Send(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()))));
    buffer.back() = L'\0';
    return NarrowBuffer(buffer.data(), std::min(copied, buffer.size()));
}

LONG CChatTextCtrl::EndPosition() const {
    const auto lastLine = static_cast<WPARAM>(std::max<LONG>(0, LineCount() - 1));
    const auto lineStart = static_cast<LONG>(Send(EM_LINEINDEX, lastLine));
    return lineStart + static_cast<LONG>(Send(EM_LINELENGTH, static_cast<WPARAM>(lineStart)));
}

CHARRANGE CChatTextCtrl::Selection() const {
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

void CChatTextCtrl::Select(LONG first, LONG last) const {
    CHARRANGE range{first, last};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CChatTextCtrl::ReplaceSelection(std::string_view text) const {
    const std::wstring wide = Widen(text);
    Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

// Never the link attribute: the control's own detection marks the links,
// and a format that carried it (switched off, as the default format read
// from the control does) would wipe what the detection has just marked.
void CChatTextCtrl::FormatSelection(const CHARFORMATW& format) const {
    CHARFORMATW copy = AnyScript(format);
    copy.cbSize = sizeof copy;
    copy.dwMask &= ~CFM_LINK;
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&copy));
}

LONG CChatTextCtrl::FirstVisibleLine() const { return static_cast<LONG>(Send(EM_GETFIRSTVISIBLELINE)); }
LONG CChatTextCtrl::LineCount() const { return static_cast<LONG>(Send(EM_GETLINECOUNT)); }
void CChatTextCtrl::SetRedraw(bool on) const { Send(WM_SETREDRAW, on ? TRUE : FALSE); }

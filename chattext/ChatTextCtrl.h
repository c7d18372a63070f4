#pragma once
// The chat history: a read-only Rich Edit 2.0 control in which every shown
// message is one line, its prefix in the prefix font and its text in the
// message font. The control keeps its own list of the shown messages so that
// it can draw them all again and drop the oldest at the text limit. Its
// right-click menu and its own keys reach it from the owner dialog, which
// hands on the control's EN_MSGFILTER notifications and WM_CONTEXTMENU.

#include <windows.h>

#include <richedit.h>

#include <string>
#include <string_view>
#include <vector>

#include "chattext/HistorySettings.h"
#include "chattext/ShownMessages.h"
#include "messaging/MessageRecord.h"

class CLinkOpener;
class CTimeZone;

class CChatTextCtrl {
public:
    CChatTextCtrl(CHistorySettings& settings, const CTimeZone& timeZone);
    CChatTextCtrl(const CChatTextCtrl&) = delete;
    CChatTextCtrl& operator=(const CChatTextCtrl&) = delete;

    // Takes the place of the dialog's placeholder control `id` with a
    // Unicode Rich Edit control ("RichEdit20W") of the same styles, place and default format;
    // when that cannot be created, works on the placeholder itself. False
    // when the dialog has no such control.
    bool ReplaceDialogControl(int id, HWND dialog);
    HWND Hwnd() const { return m_window; }

    void EnableLinks(bool on);
    // Where links and the Open command go; without one nothing is opened.
    void SetOpener(CLinkOpener* opener) { m_opener = opener; }
    CLinkOpener* Opener() const { return m_opener; }
    void EnableContextMenu(bool on) { m_contextMenuEnabled = on; }
    void EnableLogging(bool on) { m_loggingEnabled = on; }
    // The next logged line starts a new dated block.
    void RequestLogHeader() { m_logHeaderPending = true; }

    // Shows one message (copied) at the end, dropping the oldest messages
    // while the display lengths add up to more than the text limit.
    void AppendMessage(const CMessageRecord& record);
    // The same for the messages of one receive step, in order: the history
    // trims, scrolls and draws once for all of them.
    void AppendMessages(const std::vector<CMessageRecord>& records);
    // Takes new formats (null: from the settings) and a prefix code (empty:
    // the setting) and draws every shown message again.
    void Rerender(const CHARFORMATW* prefixFormat, const CHARFORMATW* messageFormat, std::string_view prefixCode);
    void ClearAll();

    // One EN_LINK notification; the result goes back to the control.
    LRESULT OnLink(const ENLINK& link);
    // The text of a character range, the selection left as it was.
    std::string GetTextRange(const CHARRANGE& range);
    // The selected text as the control keeps it (a line end is one carriage
    // return), read with a call bounded by the buffer's size in bytes.
    std::string SelectedText() const;

    // One EN_MSGFILTER notification (mouse and key events of the control);
    // non-zero keeps the message from the control.
    LRESULT OnMessageFilter(const MSGFILTER& filter);
    // The right-click menu at `screen`; (-1, -1) asks for it beside the
    // selection, as from the keyboard.
    void OnContextMenu(POINT screen);
    // Copy, Select All, Clear All and Open; false for any other id.
    bool OnMenuCommand(int id);
    // Opens the selected file name by the rule for what comes from a
    // message, or says it could not.
    void OpenSelection();
    // The computer whose message holds the character at `position`; empty
    // when none does.
    std::string SenderAt(LONG position) const;
    void SelectAll();

    const CShownMessages& ShownMessages() const { return m_shown; }
    const CHARFORMATW& PrefixFormat() const { return m_prefixFormat; }
    const CHARFORMATW& MessageFormat() const { return m_messageFormat; }
    // `format` as the control draws it: with the control's own face, size
    // and character set where the format names none.
    CHARFORMATW ShownFormat(const CHARFORMATW& format) const;
    bool IsContextMenuEnabled() const { return m_contextMenuEnabled; }
    bool IsLogHeaderPending() const { return m_logHeaderPending; }

    static constexpr int kOpenLabelLimit = 25;
    // The code page number by which Rich Edit messages ask for UTF-16.
    static constexpr UINT kUtf16CodePage = 1200;

private:
    void OnAttached();
    std::string GetPrefixCode();
    // The composed line of `record`; `prefixLength` receives its prefix's.
    std::string ComposeLine(const std::string& prefixCode, const CMessageRecord& record, std::size_t& prefixLength);
    // Appends the line at the end of the text, selection kept; returns the
    // characters the control took for it.
    LONG InsertLine(const std::string& line, std::size_t prefixLength);
    void ScrollToEnd();
    void ReconcileFormats();
    void LogLine(const std::string& line);
    // Mouse and key events go to the owner as EN_MSGFILTER.
    void ListenToInput();
    bool OnKeyDown(WPARAM key);
    POINT KeyboardMenuPoint() const;
    // The number of characters as the control counts them (a line end is one).
    LONG CharacterCount() const;

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LONG EndPosition() const;
    CHARRANGE Selection() const;
    void Select(LONG first, LONG last) const;
    void ReplaceSelection(std::string_view text) const;
    void FormatSelection(const CHARFORMATW& format) const;
    // The insertion point's link attribute (off) and kerning threshold.
    void MarkInsertion(WORD kerning) const;
    LONG FirstVisibleLine() const;
    LONG LineCount() const;
    void SetRedraw(bool on) const;
    void RedrawWhole() const;

    CHistorySettings& m_settings;
    const CTimeZone& m_timeZone;
    CLinkOpener* m_opener = nullptr;
    HWND m_window = nullptr;
    std::string m_prefixCodeOverride;
    CShownMessages m_shown;
    CHARFORMATW m_baseFormat{};
    CHARFORMATW m_prefixFormat{};
    CHARFORMATW m_messageFormat{};
    bool m_contextMenuEnabled = true;
    bool m_loggingEnabled = true;
    bool m_logHeaderPending = true;
};

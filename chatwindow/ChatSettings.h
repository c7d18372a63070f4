#pragma once
// What the chat dialog reads from the settings and the account at the moment
// of use, besides what its history reads. The program reads the settings
// store; tests give their own.

#include <windows.h>

#include <string>

#include "chattext/HistorySettings.h"
#include "chatwindow/NewMessagePlan.h"  // "OnNewMessage"'s choices
#include "chatwindow/WindowLayout.h"

class CChatSettings : public CHistorySettings {
public:
    // The cleaned stored user name, or the Windows login name when none is
    // stored; `unset` (optional) tells which.
    virtual std::string CurrentUserName(bool* unset) = 0;
    // Stores the name as entered (the name prompt).
    virtual void SetCurrentUserName(const std::string& name) = 0;
    // The history's background colour ("ChatTextBackground").
    virtual COLORREF ChatTextBackground() = 0;
    // "PromptOnAllUsers": ask before a message goes to all users.
    virtual bool PromptOnAllUsers() = 0;
    // "DefaultToLastSender": a new message selects its sender in the To: list.
    virtual bool DefaultToLastSender() = 0;
    // The stored text of QuickKey F`number` (2 to 12), as stored.
    virtual std::string QuickKeyText(int number) = 0;
    // "OnNewMessage"; a stored value other than 0, 1 and 2 reads as
    // nothing.
    virtual ENewMessageReaction OnNewMessage() = 0;
    // "PlaySnd": the default sound for a new message, whatever the reaction.
    virtual bool PlaySound() = 0;
    // The chat window's place ("dlg-x", "dlg-y", "dlg-width", "dlg-height",
    // "dlg-maximized").
    virtual CWindowPosition WindowPosition() = 0;
    virtual void SetWindowPosition(const CWindowPosition& position) = 0;
};

// Defaults only: no stored name, the login name, the system's window colour.
class CDefaultChatSettings : public CChatSettings {
public:
    std::string PrefixCode() override { return m_history.PrefixCode(); }
    void ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) override {
        m_history.ReadPrefixFormat(format, source);
    }
    void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) override {
        m_history.ReadMessageFormat(format, source);
    }
    void LogLine(std::string_view line, bool& headerPending) override { m_history.LogLine(line, headerPending); }
    std::string CurrentUserName(bool* unset) override;
    void SetCurrentUserName(const std::string&) override {}
    COLORREF ChatTextBackground() override { return ::GetSysColor(COLOR_WINDOW); }
    bool PromptOnAllUsers() override { return true; }
    bool DefaultToLastSender() override { return true; }
    std::string QuickKeyText(int) override { return {}; }
    ENewMessageReaction OnNewMessage() override { return ENewMessageReaction::FlashTaskbar; }
    bool PlaySound() override { return false; }
    CWindowPosition WindowPosition() override { return {}; }
    void SetWindowPosition(const CWindowPosition&) override {}

private:
    CDefaultHistorySettings m_history;
};

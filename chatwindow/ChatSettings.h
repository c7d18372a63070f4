#pragma once
// What the chat dialog reads from the settings and the account at the moment
// of use, besides what its history reads. The program reads the settings
// store; tests give their own.

#include <windows.h>

#include <string>

#include "chattext/HistorySettings.h"

class CChatSettings : public CHistorySettings {
public:
    // The cleaned stored user name, or the Windows login name when none is
    // stored; `unset` (optional) tells which.
    virtual std::string CurrentUserName(bool* unset) = 0;
    // The history's background colour ("ChatTextBackground").
    virtual COLORREF ChatTextBackground() = 0;
};

// Defaults only: no stored name, the login name, the system's window colour.
class CDefaultChatSettings : public CChatSettings {
public:
    std::string PrefixCode() override { return m_history.PrefixCode(); }
    void ReadPrefixFormat(CHARFORMATA& format, const CHARFORMATA* source) override {
        m_history.ReadPrefixFormat(format, source);
    }
    void ReadMessageFormat(CHARFORMATA& format, const CHARFORMATA* source) override {
        m_history.ReadMessageFormat(format, source);
    }
    void LogLine(std::string_view line, bool& headerPending) override { m_history.LogLine(line, headerPending); }
    std::string CurrentUserName(bool* unset) override;
    COLORREF ChatTextBackground() override { return ::GetSysColor(COLOR_WINDOW); }

private:
    CDefaultHistorySettings m_history;
};

#pragma once
// What the chat history reads from the settings at the moment of use: the
// prefix code, the two fonts and the message log. The program reads them
// from the settings store; tests give their own.

#include <windows.h>

#include <richedit.h>

#include <string>
#include <string_view>

class CHistorySettings {
public:
    virtual ~CHistorySettings() = default;

    // The "Prefix" setting, or its default.
    virtual std::string PrefixCode() = 0;
    // Fill `format` from the stored font, or copy `source` when it is given;
    // either way a zero height or a missing CFM_SIZE becomes the height -1
    // with CFM_SIZE clear. The prefix font is bold when nothing is stored.
    virtual void ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) = 0;
    virtual void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) = 0;
    // Appends one shown line to the message log when logging is on; clears
    // `headerPending` once the block header is written. Failures are silent.
    virtual void LogLine(std::string_view line, bool& headerPending) = 0;
};

// The settings' defaults, for a history without a settings store: the
// default prefix code, a bold prefix, the control's own message font and no
// log.
class CDefaultHistorySettings : public CHistorySettings {
public:
    std::string PrefixCode() override;
    void ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
    void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
    void LogLine(std::string_view, bool&) override {}
};

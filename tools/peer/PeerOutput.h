#pragma once
// How the command-line peer prints a message: as the history would show it
// (prefix and text on one line), or as one JSON object for scripts.

#include <string>

#include "chattext/TimeZone.h"
#include "messaging/MessageRecord.h"

// Prefix from the default prefix code, then the text; line breaks inside the
// text are written as "\n" so that one message stays one line.
std::string FormatShownLine(const CMessageRecord& record, const CTimeZone& timeZone);

// {"computer":…,"user":…,"text":…,"broadcast":true,"time":…}. Bytes of
// 0x80 and above are taken as Latin-1, so the output is always valid JSON.
std::string FormatJsonLine(const CMessageRecord& record);

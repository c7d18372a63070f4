#pragma once
// How the command-line peer prints what came from the network: as the
// history would show it (prefix and text on one line), or as one JSON object
// for scripts. Every field of another computer's message is untrusted, so
// plain output never hands the terminal a control character: line breaks
// and tabs are written as \n and \t, other control characters as \xNN.

#include <string>
#include <string_view>

#include "chattext/TimeZone.h"
#include "messaging/MessageRecord.h"

// The text with its control characters written out: CR LF, CR and LF as
// "\n", TAB as "\t", the other C0 controls and DEL as "\xNN". The C1
// controls and the Unicode direction controls (U+061C, U+200E, U+200F,
// U+202A to U+202E, U+2066 to U+2069) are written byte by byte as "\xNN",
// both as UTF-8 encodes them and, for the C1 controls, as the single bytes
// 0x80 to 0x9F of the 8-bit code pages (there, the letters Windows-1252
// keeps at those bytes are written out too). Other well-formed UTF-8 and
// other single bytes of 0xA0 and above stay, so names and text in a code
// page or in UTF-8 still read as they were written. The backslash stays as
// it is.
std::string EscapeControlCharacters(std::string_view text);

// Prefix from the default prefix code, then the text, escaped as above so
// that one message stays one line.
std::string FormatShownLine(const CMessageRecord& record, const CTimeZone& timeZone);

// "Computer: text" for a reply to a version request, escaped as above.
std::string FormatVersionLine(const CMessageRecord& record);

// {"computer":…,"user":…,"text":…,"broadcast":true,"time":…}. The fields
// are UTF-8 and stay so; control characters and the direction controls are
// escaped (\uNNNN), and what is not well-formed UTF-8 reads as U+FFFD, so
// the output is always valid JSON.
std::string FormatJsonLine(const CMessageRecord& record);

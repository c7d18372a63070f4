#pragma once
// The prefix code language: a short text in which letters stand for the
// sender and parts of the message's time, quoted text is copied, and a
// bracketed part shows only on messages to all users. ExpandPrefix turns a
// code into the prefix text that the history puts before a message.

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "messaging/MessageRecord.h"

class CTimeZone;

// The "Prefix" setting's default.
inline constexpr std::string_view kDefaultPrefixCode = "u[ (to all users)] H:nn> ";

// A token whose formatted text is longer than this contributes nothing: the
// language's buffer holds 128 characters with the terminating zero, and codes
// that users wrote for it rely on long fields vanishing rather than being cut.
// Characters, not bytes: a name of the code page takes more bytes in UTF-8
// and still shows.
inline constexpr std::size_t kMaxTokenTextLength = 127;

// `localTime` is the message's time in local time; without it (the time
// could not be converted) every token contributes nothing while quoted and
// other literal text is still copied. The computer and user names are
// themselves passed through FormatTime, so a "%d" in a name becomes the day.
std::string ExpandPrefix(std::string_view prefixCode, const std::optional<std::tm>& localTime,
                         std::string_view computer, std::string_view user, bool broadcast);

// The same for one record, its time converted by `timeZone`.
std::string ExpandPrefix(std::string_view prefixCode, const CMessageRecord& record, const CTimeZone& timeZone);

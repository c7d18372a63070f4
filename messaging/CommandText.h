#pragma once
// Control commands between copies travel as ordinary messages whose
// user-name field is the command marker; their text is the command line.

#include <optional>
#include <string>
#include <string_view>

#include "messaging/MessageRecord.h"
#include "util/BuildInfo.h"

inline constexpr char kCommandMarker[] = "mivletcmd";
inline constexpr std::string_view kAdminPrefix = "admin:";
inline constexpr std::string_view kPingText = "admin:ping ";      // followed by the user name
inline constexpr char kExitNoticeText[] = "ping-appexit";
inline constexpr std::string_view kVersionReplyStart = "The build date is ";
// The verbs that copies act on; any other verb is dropped by every receiver.
inline constexpr std::string_view kQuitVerb = "quit";
inline constexpr std::string_view kPingVerb = "ping";
inline constexpr std::string_view kExitNoticeVerb = kExitNoticeText;
inline constexpr std::string_view kVersionVerb = "version";
// The receipt a copy sends for a direct message it showed, followed by the
// sequence field of the message's first datagram. Copies send it; users
// never type it, so it is not among the verbs a typed "admin:" text sends.
inline constexpr std::string_view kReceivedVerb = "received";
inline constexpr std::string_view kReceiptText = "admin:received ";

struct CCommand {
    std::string verb;
    std::string argument;
};

// The verb and argument of a command record; nothing when the record is
// chat text. Line breaks are removed and the "admin:" prefix is optional.
std::optional<CCommand> ParseCommand(const CMessageRecord& record);
// The same for a command line itself.
CCommand ParseCommandLine(std::string_view line);
// One of the four verbs a user may type (quit, ping, ping-appexit,
// version), in any letter case.
bool IsKnownVerb(std::string_view verb);

// "The build date is December 12, 2000 (version 1.0.0)." for the build date
// "Dec 12 2000" and the version "1.0.0".
std::string MakeVersionReply(const CBuildInfo& build);

bool IsCommandRecord(const CMessageRecord& record);

#include "messaging/CommandText.h"

#include "messaging/LongDate.h"
#include "util/AsciiText.h"

bool IsCommandRecord(const CMessageRecord& record) { return record.user == kCommandMarker; }

std::optional<CCommand> ParseCommand(const CMessageRecord& record) {
    if (!IsCommandRecord(record)) return std::nullopt;
    std::string line;
    for (char c : record.text)
        if (c != '\r' && c != '\n') line += c;
    if (StartsWithNoCaseAscii(line, kAdminPrefix)) line.erase(0, kAdminPrefix.size());

    CCommand command;
    const std::size_t space = line.find(' ');
    command.verb = line.substr(0, space);
    if (space != std::string::npos) command.argument = line.substr(space + 1);
    return command;
}

std::string MakeVersionReply(const CBuildInfo& build) {
    return std::string(kVersionReplyStart) + MakeLongDate(build.date) + " (version " + build.version + ").";
}

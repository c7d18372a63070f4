#include "messaging/CommandText.h"

#include "messaging/LongDate.h"
#include "util/AsciiText.h"

// Every record is asked this several times on its way: a view compares
// the length before any byte.
bool IsCommandRecord(const CMessageRecord& record) { return record.user == std::string_view(kCommandMarker); }

std::optional<CCommand> ParseCommand(const CMessageRecord& record) {
    if (!IsCommandRecord(record)) return std::nullopt;
    return ParseCommandLine(record.text);
}

CCommand ParseCommandLine(std::string_view line) {
    // Every ping is a command: no copy of the text unless it has line breaks.
    std::string withoutBreaks;
    if (line.find_first_of("\r\n") != std::string_view::npos) {
        for (char c : line)
            if (c != '\r' && c != '\n') withoutBreaks += c;
        line = withoutBreaks;
    }
    if (StartsWithNoCaseAscii(line, kAdminPrefix)) line.remove_prefix(kAdminPrefix.size());

    CCommand command;
    const std::size_t space = line.find(' ');
    command.verb = line.substr(0, space);
    if (space != std::string_view::npos) command.argument = line.substr(space + 1);
    return command;
}

bool IsKnownVerb(std::string_view verb) {
    for (const std::string_view known : {kQuitVerb, kPingVerb, kExitNoticeVerb, kVersionVerb})
        if (EqualsNoCaseAscii(verb, known)) return true;
    return false;
}

std::string MakeVersionReply(const CBuildInfo& build) {
    return std::string(kVersionReplyStart) + MakeLongDate(build.date) + " (version " + build.version + ").";
}

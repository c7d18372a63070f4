#include "messaging/TypedText.h"

#include "messaging/CommandText.h"
#include "util/AsciiText.h"

std::string CleanTypedText(std::string_view text) {
    while (text.substr(0, 4) == "\r\n\r\n") text.remove_prefix(2);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    return std::string(text);
}

// Receivers drop a command whose verb they do not know, so any other text
// after "admin:" ("Admin: the printer is down") would vanish: it goes as a
// message. The verb is read as the receivers read it.
bool IsCommandText(std::string_view text) {
    return StartsWithNoCaseAscii(text, kAdminPrefix) && IsKnownVerb(ParseCommandLine(text).verb);
}

#include "tools/peer/PeerOutput.h"

#include <cstdio>

#include "chattext/PrefixCode.h"

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

}  // namespace

std::string FormatShownLine(const CMessageRecord& record, const CTimeZone& timeZone) {
    std::string line = ExpandPrefix(kDefaultPrefixCode, record, timeZone);
    for (std::size_t i = 0; i < record.text.size(); ++i) {
        const char c = record.text[i];
        if (c == '\r' && i + 1 < record.text.size() && record.text[i + 1] == '\n') continue;
        if (c == '\r' || c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

std::string FormatJsonLine(const CMessageRecord& record) {
    return "{\"computer\":" + JsonString(record.computer) + ",\"user\":" + JsonString(record.user) +
           ",\"text\":" + JsonString(record.text) + ",\"broadcast\":" + (record.broadcast ? "true" : "false") +
           ",\"time\":" + std::to_string(record.time) + "}";
}

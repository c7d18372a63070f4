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

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto hex = [&out](unsigned char c) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        out += escaped;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\r' || c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            hex(c);
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            hex(c);
            hex(static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string FormatShownLine(const CMessageRecord& record, const CTimeZone& timeZone) {
    // The prefix carries the sender's names, which are as untrusted as the
    // text: the whole line is escaped.
    return EscapeControlCharacters(ExpandPrefix(kDefaultPrefixCode, record, timeZone) + record.text);
}

std::string FormatVersionLine(const CMessageRecord& record) {
    return EscapeControlCharacters(record.computer + ": " + record.text);
}

std::string FormatJsonLine(const CMessageRecord& record) {
    return "{\"computer\":" + JsonString(record.computer) + ",\"user\":" + JsonString(record.user) +
           ",\"text\":" + JsonString(record.text) + ",\"broadcast\":" + (record.broadcast ? "true" : "false") +
           ",\"time\":" + std::to_string(record.time) + "}";
}

#include "tools/peer/PeerOutput.h"

#include <cstdio>

#include "chattext/PrefixCode.h"
#include "util/Utf8Text.h"

namespace {

// The C1 controls, and the marks and embeddings that turn the text after
// them around (a name "Lab2" followed by U+202E shows the rest of the line
// backwards, so a message can look like another's).
bool IsControlCodePoint(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Only characters of the Basic Multilingual Plane are escaped.
void AppendJsonEscape(std::string& out, char32_t c) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
    out += escaped;
}

// The text is UTF-8 and stays so; what is not well-formed reads as U+FFFD,
// so the output is always valid JSON. Control characters, and the
// direction controls that plain output writes out, are escaped.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const CUtf8Step step = ReadUtf8(text, at);
        const char32_t c = step.codePoint.value_or(kReplacementCharacter);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F || IsControlCodePoint(c) || !step.codePoint)
                AppendJsonEscape(out, c);
            else
                out.append(text, at, step.length);
        }
        at += step.length;
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
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const CUtf8Step step = ReadUtf8(text, i); step.codePoint) {
            if (IsControlCodePoint(*step.codePoint)) {
                for (std::size_t k = 0; k < step.length; ++k) hex(static_cast<unsigned char>(text[i + k]));
            } else {
                out.append(text.substr(i, step.length));
            }
            i += step.length - 1;
        } else if (c <= 0x9F) {
            // A single byte, as the 8-bit code pages send it: a terminal
            // that takes 8-bit controls reads 0x9B as the start of an
            // escape sequence.
            hex(c);
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

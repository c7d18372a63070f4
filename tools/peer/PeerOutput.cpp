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

// The length of the well-formed UTF-8 sequence of two to four bytes that
// starts `text` (overlong forms and surrogates are not well-formed), or 0.
std::size_t Utf8SequenceLength(std::string_view text, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    return length;
}

// The C1 controls, and the marks and embeddings that turn the text after
// them around (a name "Lab2" followed by U+202E shows the rest of the line
// backwards, so a message can look like another's).
bool IsControlCodePoint(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
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
        } else if (char32_t codePoint = 0; const std::size_t length = Utf8SequenceLength(text.substr(i), codePoint)) {
            if (IsControlCodePoint(codePoint)) {
                for (std::size_t k = 0; k < length; ++k) hex(static_cast<unsigned char>(text[i + k]));
            } else {
                out.append(text.substr(i, length));
            }
            i += length - 1;
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

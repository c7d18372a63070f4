#include "util/Utf8Text.h"

namespace {

bool IsContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

}  // namespace

CUtf8Step ReadUtf8(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t offset) { return static_cast<unsigned char>(text[at + offset]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};

    std::size_t length = 0;
    char32_t value = 0;
    // The range the second byte must lie in rules out overlong forms,
    // surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {std::nullopt, 1};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size() || !IsContinuation(byte(i), i == 1 ? low : 0x80, i == 1 ? high : 0xBF))
            return {std::nullopt, i};
        value = (value << 6) | (byte(i) & 0x3F);
    }
    return {value, length};
}

void AppendUtf8(std::string& text, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = kReplacementCharacter;
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const CUtf8Step step = ReadUtf8(text, at);
        if (!step.codePoint) return false;
        at += step.length;
    }
    return true;
}

std::string ValidUtf8(std::string_view text) {
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const CUtf8Step step = ReadUtf8(text, at);
        if (step.codePoint)
            valid.append(text.substr(at, step.length));
        else
            AppendUtf8(valid, kReplacementCharacter);
        at += step.length;
    }
    return valid;
}

std::size_t CountUtf8Characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) at += ReadUtf8(text, at).length;
    return count;
}

std::string_view FirstUtf8Bytes(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t at = 0;
    for (;;) {
        const std::size_t next = at + ReadUtf8(text, at).length;
        if (next > maxBytes) return text.substr(0, at);
        at = next;
    }
}

std::string_view FirstUtf8Characters(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t count = 0; count < characters && at < text.size(); ++count) at += ReadUtf8(text, at).length;
    return text.substr(0, at);
}

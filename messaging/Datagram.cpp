#include "messaging/Datagram.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::string FormatSequenceField(std::int32_t sequence) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05i", static_cast<int>(sequence));
    return digits;
}

std::optional<std::int32_t> ReadSequenceField(std::string_view field) {
    if (field.size() != 5) return std::nullopt;
    std::int32_t number = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::optional<CDatagramFields> ReadDatagramFields(std::string_view bytes) {
    const std::size_t senderEnd = bytes.find('\0', 1);
    if (senderEnd == std::string_view::npos) return std::nullopt;
    const std::size_t sequenceEnd = bytes.find('\0', senderEnd + 2);
    if (sequenceEnd == std::string_view::npos) return std::nullopt;
    CDatagramFields fields;
    fields.sender = bytes.substr(0, senderEnd);
    fields.sequence = bytes.substr(senderEnd + 1, sequenceEnd - senderEnd - 1);
    const std::string_view rest = bytes.substr(sequenceEnd + 1);
    fields.chunk = rest.substr(0, rest.find('\0'));
    fields.continued = bytes.size() >= 2 && bytes[bytes.size() - 1] == '\0' && bytes[bytes.size() - 2] == '\0';
    return fields;
}

std::size_t FormatDatagram(char* buffer, std::string_view sender, bool broadcast,
                           std::int32_t sequence, std::string_view chunk, bool continued) {
    std::memset(buffer, 0, kMaxDatagramSize);
    char* at = buffer;
    at = std::copy(sender.begin(), sender.end(), at);
    if (broadcast) *at++ = kBroadcastMark;
    *at++ = '\0';
    const std::string digits = FormatSequenceField(sequence);
    at = std::copy(digits.begin(), digits.begin() + 5, at);
    *at++ = '\0';
    std::copy(chunk.begin(), chunk.end(), at);
    // The chunk's terminator, and for a continued chunk the buffer's next zero
    // byte as the continuation mark.
    return sender.size() + (broadcast ? 1 : 0) + chunk.size() + kDatagramOverhead + (continued ? 1 : 0);
}

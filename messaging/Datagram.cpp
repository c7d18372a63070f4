#include "messaging/Datagram.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::size_t FormatDatagram(char* buffer, std::string_view sender, bool broadcast,
                           std::int32_t sequence, std::string_view chunk, bool continued) {
    std::memset(buffer, 0, kMaxDatagramSize);
    char* at = buffer;
    at = std::copy(sender.begin(), sender.end(), at);
    if (broadcast) *at++ = kBroadcastMark;
    *at++ = '\0';
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05i", static_cast<int>(sequence));
    at = std::copy(digits, digits + 5, at);
    *at++ = '\0';
    std::copy(chunk.begin(), chunk.end(), at);
    // The chunk's terminator, and for a continued chunk the buffer's next zero
    // byte as the continuation mark.
    return sender.size() + (broadcast ? 1 : 0) + chunk.size() + kDatagramOverhead + (continued ? 1 : 0);
}

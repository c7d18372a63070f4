#pragma once
// One datagram's bytes as a copy writes them, for tests that deliver
// datagrams themselves.

#include <array>
#include <string>
#include <string_view>

#include "messaging/Datagram.h"

inline std::string Datagram(std::string_view sender, bool broadcast, int sequence, std::string_view chunk,
                     bool continued = false) {
    std::array<char, kMaxDatagramSize> buffer{};
    const std::size_t size = FormatDatagram(buffer.data(), sender, broadcast, sequence, chunk, continued);
    return std::string(buffer.data(), size);
}

#pragma once
// IPv4 addresses as the carriers see them, and which of them can be a
// computer's own.

#include <cstdint>
#include <vector>

// In host byte order (127.0.0.1 is 0x7F000001).
using InetAddress = std::uint32_t;
inline constexpr InetAddress kLoopbackAddress = 0x7F000001u;
inline constexpr InetAddress kLimitedBroadcast = 0xFFFFFFFFu;

// Where a datagram came from over the network: the sender's address and
// the port it sent from. Zero where the carrier cannot tell (a mailslot).
struct CDatagramSource {
    InetAddress address = 0;
    std::uint16_t port = 0;
};

// One IPv4 address of an interface of this computer that is up and not a
// loopback.
struct CInterfaceAddress {
    InetAddress address = 0;
    InetAddress mask = 0;  // 255.255.255.0 is 0xFFFFFF00
    bool broadcasts = true;

    InetAddress Network() const { return address & mask; }
    InetAddress Broadcast() const { return address | ~mask; }
};

// Whether a datagram's source address can be where some other computer is
// reached: not unspecified, loopback, multicast, reserved or the limited
// broadcast, nor the network or broadcast address of one of this computer's
// subnets, nor one of this computer's own addresses. A forged source of any
// of those would turn a reply to one computer into one to many, or to this
// computer itself.
inline bool CanBeOtherComputersAddress(InetAddress address, const std::vector<CInterfaceAddress>& interfaces) {
    const unsigned first = address >> 24;
    if (address == 0 || first == 0 || first == 127 || first >= 224) return false;
    for (const CInterfaceAddress& own : interfaces) {
        if (address == own.address) return false;
        // A /31 or /32 has no network or broadcast address of its own.
        if (own.mask < 0xFFFFFFFEu && (address == own.Network() || address == own.Broadcast())) return false;
    }
    return true;
}

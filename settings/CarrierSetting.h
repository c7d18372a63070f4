#pragma once
// Which carrier takes datagrams between computers (the stored value is
// still called "Transport"). "udp" (the default) is our
// UDP carrier; "mailslot" is the system's own remote mailslots, for networks
// of older Windows that still have them: Wine has none, and Windows 11 24H2
// and Windows Server 2025 turn them off. Peers see the same datagrams either
// way, and every computer of a network must use the same carrier.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSettingsStore;

inline constexpr char kTransportValue[] = "Transport";
inline constexpr char kUdpPortValue[] = "UdpPort";
// Names or IPv4 addresses that every message to all users also goes to,
// separated by spaces, commas or semicolons: other subnets' directed
// broadcast addresses, or single hosts behind a router or a VPN.
inline constexpr char kUdpExtraTargetsValue[] = "UdpExtraTargets";
// 1 (the default): a datagram that arrives is read at once; 0: only on the
// 50 ms receive tick, as the mailslot carrier is.
inline constexpr char kUdpWakeOnArrivalValue[] = "UdpWakeOnArrival";

// More than any network of routers needs; a longer list is cut here.
inline constexpr std::size_t kMaxExtraTargets = 32;
inline constexpr std::size_t kMaxTargetLength = 255;

struct CCarrierSetting {
    bool udp = true;
    std::uint16_t port = 0;
    std::vector<std::string> extraTargets;
    bool wakeOnArrival = true;
};

// The extra targets of a stored list, empty entries dropped, at most
// kMaxExtraTargets of at most kMaxTargetLength bytes each.
std::vector<std::string> ParseExtraTargets(std::string_view list);

// Reads the settings from the main key; only "mailslot" (in any letter
// case) chooses the mailslots, and a port of 0 or above 65535 reads as the
// default port.
CCarrierSetting GetCarrierSetting(const CSettingsStore& store);

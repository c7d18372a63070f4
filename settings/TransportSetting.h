#pragma once
// Which way datagrams travel between computers. "mailslot" (the default) is
// the system's own remote mailslots; "udp" is our UDP carrier for networks
// where remote mailslots are gone (Wine, and Windows 11 24H2 and Windows
// Server 2025 by default). Peers see the same datagrams either way.

#include <cstdint>

class CSettingsStore;

inline constexpr char kTransportValue[] = "Transport";
inline constexpr char kUdpPortValue[] = "UdpPort";

struct CTransportSetting {
    bool udp = false;
    std::uint16_t port = 0;
};

// Reads both settings from the main key; an unknown transport reads as
// "mailslot" and a port of 0 or above 65535 as the default port.
CTransportSetting GetTransportSetting(const CSettingsStore& store);

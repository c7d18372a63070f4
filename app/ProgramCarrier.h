#pragma once
// The carrier the program's endpoint goes through: UDP beside the local
// mailslot, or the system's mailslots alone when the "Transport" setting
// asks for them. Chosen once, at start.

#include <memory>

#include "messaging/UdpCarrier.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32MailslotCarrier.h"
#include "platform/win32/WinsockSockets.h"
#include "settings/CarrierSetting.h"

class CProgramCarrier {
public:
    explicit CProgramCarrier(const CCarrierSetting& setting);
    CProgramCarrier(const CProgramCarrier&) = delete;
    CProgramCarrier& operator=(const CProgramCarrier&) = delete;

    CDatagramCarrier& Carrier() { return m_udp ? static_cast<CDatagramCarrier&>(*m_udp) : m_mailslots; }
    CClock& Clock() { return m_clock; }
    // The UDP carrier, when it is the one.
    CUdpCarrier* Udp() { return m_udp.get(); }

private:
    CWin32Clock m_clock;
    CWin32MailslotCarrier m_mailslots;
    std::unique_ptr<CWinsockSockets> m_sockets;
    std::unique_ptr<CUdpCarrier> m_udp;
};

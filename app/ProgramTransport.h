#pragma once
// The system calls the program's mailslot endpoint goes through: the UDP
// carrier beside the local mailslot, or the real mailslots alone when the
// "Transport" setting asks for them. Chosen once, at start.

#include <memory>

#include "settings/TransportSetting.h"
#include "messaging/UdpRoute.h"
#include "platform/win32/Win32MailslotApi.h"
#include "platform/win32/WinsockSockets.h"

class CProgramTransport {
public:
    explicit CProgramTransport(const CTransportSetting& setting);
    CProgramTransport(const CProgramTransport&) = delete;
    CProgramTransport& operator=(const CProgramTransport&) = delete;

    CMailslotApi& Api() { return m_route ? static_cast<CMailslotApi&>(*m_route) : m_mailslots; }

private:
    CWin32MailslotApi m_mailslots;
    std::unique_ptr<CWinsockSockets> m_sockets;
    std::unique_ptr<CUdpRoute> m_route;
};

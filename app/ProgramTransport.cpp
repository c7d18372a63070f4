#include "app/ProgramTransport.h"

CProgramTransport::CProgramTransport(const CTransportSetting& setting) {
    if (!setting.udp) return;
    m_sockets = std::make_unique<CWinsockSockets>();
    m_route = std::make_unique<CUdpRoute>(m_mailslots, true, *m_sockets, setting.port);
    m_route->SetExtraTargets(setting.extraTargets);
}

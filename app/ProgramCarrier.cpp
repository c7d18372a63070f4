#include "app/ProgramCarrier.h"

#include "messaging/MessagingSession.h"

CProgramCarrier::CProgramCarrier(const CCarrierSetting& setting) : m_mailslots(kMailslotName) {
    if (!setting.udp) return;
    m_sockets = std::make_unique<CWinsockSockets>();
    CUdpCarrier::COptions options;
    options.port = setting.port;
    // The window's thread cannot read a flood as fast as it comes under
    // Wine, and a look-up may take seconds: both go to threads of their own.
    options.readerThread = true;
    options.backgroundLookups = true;
    m_udp = std::make_unique<CUdpCarrier>(*m_sockets, m_clock, options, &m_mailslots);
    m_udp->SetExtraTargets(setting.extraTargets);
}

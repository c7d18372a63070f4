#include "tools/peer/PeerNode.h"

#include <algorithm>

#include "messaging/WireText.h"

CPeerNode::CPeerNode(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage, std::string localComputer,
                     std::string user, CBuildInfo build)
    : m_clock(clock),
      m_user(std::move(user)),
      m_session(carrier, clock, codePage, std::move(localComputer), std::move(build), *this) {}

bool CPeerNode::SendText(const std::string& target, std::string_view sender, std::string_view text) {
    return SendWireMessage(m_session.Endpoint(), m_session.CodePage(), target, sender, text, true);
}

void CPeerNode::ReceiveTick(const ShowFunction& show) {
    // Without a recipient list, the refresh is only the renaming.
    if (m_session.Receive(show)) m_session.Peers().CommitPendingUsers();
}

void CPeerNode::Run(std::uint32_t milliseconds, const ShowFunction& show, const std::function<bool()>& stop) {
    const std::uint32_t start = m_clock.Ticks();
    std::uint32_t lastPing = start;
    Ping();
    for (;;) {
        if (stop && stop()) return;
        ReceiveTick(show);
        const std::uint32_t now = m_clock.Ticks();
        if (now - start >= milliseconds) return;
        if (now - lastPing >= kPingPeriodMs) {
            lastPing = now;
            Ping();
        }
        // Wakes as soon as a datagram arrives, where the carrier can tell.
        m_session.Endpoint().WaitForMessage(std::min(kReceivePeriodMs, milliseconds - (now - start)));
    }
}

std::vector<std::string> CPeerNode::AlivePeerTexts() {
    std::vector<std::string> texts;
    const std::uint32_t now = m_session.Now();
    for (const CPeerRecord& peer : m_session.PeerTable().Peers())
        if (peer.IsAlive(now)) texts.push_back(peer.GetPeerListText(!peer.pendingUser.empty()));
    return texts;
}

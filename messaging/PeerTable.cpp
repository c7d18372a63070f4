#include "messaging/PeerTable.h"

#include <algorithm>

#include "util/AsciiText.h"

std::string CPeerRecord::GetPeerListText(bool usePending) const {
    return computer + "  (" + (usePending ? pendingUser : user) + ")";
}

int CPeerTable::FindPeer(std::string_view computer) const {
    auto found = std::find_if(m_peers.begin(), m_peers.end(),
                              [&](const CPeerRecord& p) { return EqualsNoCaseAscii(p.computer, computer); });
    return found == m_peers.end() ? -1 : static_cast<int>(found - m_peers.begin());
}

std::string CPeerTable::GetListText(std::string_view computer) const {
    const int index = FindPeer(computer);
    return index < 0 ? std::string() : m_peers[index].GetPeerListText(false);
}

void CPeerTable::Renew(CPeerRecord& peer, std::string_view user, std::uint32_t time) {
    peer.gone = 0;
    if (user != peer.user) peer.pendingUser = user;
    peer.lastSeen = std::max(peer.lastSeen, time);
}

void CPeerTable::ApplyPing(const CMessageRecord& record, std::string_view user) {
    int index = FindPeer(record.computer);
    if (index < 0) {
        CPeerRecord peer;
        peer.computer = record.computer;
        m_peers.push_back(std::move(peer));
        index = static_cast<int>(m_peers.size()) - 1;
    }
    Renew(m_peers[index], user, record.time);
}

void CPeerTable::ApplyMessage(const CMessageRecord& record) {
    const int index = FindPeer(record.computer);
    if (index >= 0) Renew(m_peers[index], record.user, record.time);
}

void CPeerTable::ApplyExit(std::string_view computer) {
    const int index = FindPeer(computer);
    if (index >= 0) m_peers[index].gone = 1;
}

void CPeerTable::CommitPendingUsers() {
    for (CPeerRecord& peer : m_peers) {
        if (peer.pendingUser.empty()) continue;
        peer.user = std::move(peer.pendingUser);
        peer.pendingUser.clear();
    }
}

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
    user = user.substr(0, kMaxUserBytes);
    peer.gone = 0;
    if (user != peer.user) peer.pendingUser = user;
    peer.lastSeen = std::max(peer.lastSeen, time);
}

int CPeerTable::MakeRoomFor(std::string_view computer, std::uint32_t now) {
    CPeerRecord fresh;
    fresh.computer = std::string(computer);
    if (m_peers.size() < kMaxPeers) {
        m_peers.push_back(std::move(fresh));
        return static_cast<int>(m_peers.size()) - 1;
    }
    // A last seen after now (the clock was set back) does not count as
    // silence: nothing says how long ago that peer was really heard.
    auto silentLongest = m_peers.end();
    for (auto p = m_peers.begin(); p != m_peers.end(); ++p)
        if (p->lastSeen <= now && (silentLongest == m_peers.end() || p->lastSeen < silentLongest->lastSeen))
            silentLongest = p;
    if (silentLongest == m_peers.end() || silentLongest->IsAlive(now) ||
        silentLongest->GetSecondsSinceSeen(now) < kReuseAfterSeconds)
        return -1;
    // The newcomer takes the old slot's place rather than going to the end:
    // only the walk order of the To: list refresh depends on the table's
    // order, and the list sorts by text anyway; a full table most likely
    // means a flood of made-up names, and shifting thousands of entries for
    // each of them would make every ping of the flood cost more.
    *silentLongest = std::move(fresh);
    return static_cast<int>(silentLongest - m_peers.begin());
}

void CPeerTable::ApplyPing(const CMessageRecord& record, std::string_view user) {
    int index = FindPeer(record.computer);
    if (index < 0) index = MakeRoomFor(record.computer, record.time);
    if (index < 0) return;
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

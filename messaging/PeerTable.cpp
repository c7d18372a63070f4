#include "messaging/PeerTable.h"

#include <algorithm>

#include "messaging/LocalComputerName.h"
#include "util/Utf8Text.h"
#include "util/AsciiText.h"

std::string CPeerRecord::GetPeerListText(bool usePending) const {
    return computer + "  (" + (usePending ? pendingUser : user) + ")";
}

int CPeerTable::FindPeer(std::string_view computer) const {
    const auto found = m_index.find(std::string(computer));
    return found == m_index.end() ? -1 : static_cast<int>(found->second);
}

std::string CPeerTable::GetListText(std::string_view computer) const {
    const int index = FindPeer(computer);
    return index < 0 ? std::string() : m_peers[index].GetPeerListText(false);
}

bool CPeerTable::IsReplyTarget(std::string_view computer, std::string_view localComputer) const {
    if (!CanBeComputerName(computer)) return false;
    return FindPeer(computer) >= 0 || EqualsNoCaseAscii(computer, localComputer);
}

void CPeerTable::Renew(std::size_t index, std::string_view user, std::uint32_t time) {
    CPeerRecord& peer = m_peers[index];
    user = FirstUtf8Bytes(user, kMaxUserBytes);
    peer.gone = 0;
    // The name last announced is the one to show, also when it is the one
    // shown now and an older announcement is still pending.
    if (user != peer.user)
        peer.pendingUser = user;
    else
        peer.pendingUser.clear();
    // Every peer is renewed once a second: its place by silence is brought
    // up to date only when it reaches the front (see LongestSilent).
    peer.lastSeen = std::max(peer.lastSeen, time);
}

std::size_t CPeerTable::LongestSilent() {
    // A slot is filed under a last seen that is never later than its own,
    // which only grows: the front is the longest silent once its own last
    // seen is the one it is filed under.
    for (;;) {
        const auto front = m_bySilence.begin();
        const std::size_t index = front->second;
        if (front->first == m_peers[index].lastSeen) return index;
        auto node = m_bySilence.extract(front);
        node.value().first = m_peers[index].lastSeen;
        m_bySilence.insert(std::move(node));
    }
}

int CPeerTable::MakeRoomFor(std::string_view computer, std::uint32_t now) {
    CPeerRecord fresh;
    fresh.computer = std::string(computer);
    if (m_peers.size() < kMaxPeers) {
        m_peers.push_back(std::move(fresh));
        const std::size_t index = m_peers.size() - 1;
        m_bySilence.emplace(m_peers.back().lastSeen, index);
        m_index.emplace(computer, index);
        return static_cast<int>(index);
    }
    // A last seen after now (the clock was set back) does not count as
    // silence: nothing says how long ago that peer was really heard.
    const std::size_t oldest = LongestSilent();
    const CPeerRecord& silent = m_peers[oldest];
    if (silent.IsAlive(now) || silent.GetSecondsSinceSeen(now) < kReuseAfterSeconds) return -1;
    // The newcomer takes the old slot's place rather than going to the end:
    // only the walk order of the To: list refresh depends on the table's
    // order, and the list sorts by text anyway.
    m_index.erase(silent.computer);
    auto node = m_bySilence.extract(m_bySilence.begin());
    m_peers[oldest] = std::move(fresh);
    node.value().first = m_peers[oldest].lastSeen;
    m_bySilence.insert(std::move(node));
    m_index.emplace(computer, oldest);
    return static_cast<int>(oldest);
}

void CPeerTable::ApplyPing(const CMessageRecord& record, std::string_view user) {
    if (!CanBeComputerName(record.computer)) return;
    int index = FindPeer(record.computer);
    if (index < 0) index = MakeRoomFor(record.computer, record.time);
    if (index < 0) return;
    Renew(static_cast<std::size_t>(index), user, record.time);
}

void CPeerTable::ApplyMessage(const CMessageRecord& record) {
    const int index = FindPeer(record.computer);
    if (index >= 0) Renew(static_cast<std::size_t>(index), record.user, record.time);
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

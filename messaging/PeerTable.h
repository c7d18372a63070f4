#pragma once
// The computers known to run a copy, as learnt from their presence pings.
// Entries are never removed: a computer that falls silent or says goodbye
// is only marked as no longer alive. The table is bounded, though, since
// any datagram can claim a new computer name: once full, a new computer
// takes over the slot of one long silent, or is not heard.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "messaging/MessageRecord.h"
#include "util/AsciiText.h"

struct CPeerRecord {
    std::string computer;
    std::string user;         // the name the recipient list shows now
    std::string pendingUser;  // a newly announced name, shown from the next refresh
    std::uint32_t lastSeen = 0;
    std::uint8_t gone = 1;    // until the first ping has been applied

    static constexpr std::uint32_t kAliveSeconds = 15;

    // "Computer  (user)": the peer's text in the recipient list.
    std::string GetPeerListText(bool usePending) const;
    // Negative when the clock was set back since the peer was last heard:
    // that peer was heard just now, as far as anybody can tell.
    std::int64_t GetSecondsSinceSeen(std::uint32_t now) const {
        return static_cast<std::int64_t>(now) - static_cast<std::int64_t>(lastSeen);
    }
    bool IsAlive(std::uint32_t now) const { return gone == 0 && GetSecondsSinceSeen(now) < kAliveSeconds; }
};

class CPeerTable {
public:
    static constexpr std::size_t kMaxPeers = 4096;
    // Copies announce names of at most 25 characters; another program could
    // announce tens of thousands, and the recipient list shows every one.
    // The table keeps this much of a name.
    static constexpr std::size_t kMaxUserBytes = 256;
    // How long a peer must have been silent before a new computer may take
    // its slot. The To: list refresh, once a second, removes the list entry
    // of a peer that is no longer alive; well after that, no list entry can
    // still name the slot's former owner.
    static constexpr std::uint32_t kReuseAfterSeconds = 60;
    static_assert(kReuseAfterSeconds > CPeerRecord::kAliveSeconds);

    // Index of the peer whose computer equals `computer` without regard to
    // ASCII case, or -1. Constant time.
    int FindPeer(std::string_view computer) const;
    // The list text of the peer called `computer`, empty when unknown.
    std::string GetListText(std::string_view computer) const;
    // Whether a reply may go to `computer`, a sender field that anybody can
    // make up: only to a computer heard from (every copy pings) or to this
    // one, `localComputer`. "*" would make the reply a broadcast, and a
    // made-up name or an address outside the network would make every copy
    // that hears the request send there.
    bool IsReplyTarget(std::string_view computer, std::string_view localComputer) const;

    // A ping from another computer announcing `user` (never empty): the
    // name to show from the next refresh is the one announced. The record's
    // time, the receiving clock at receipt, is taken as now. A sender field
    // that cannot name a computer (CanBeComputerName) adds nobody.
    void ApplyPing(const CMessageRecord& record, std::string_view user);
    // Any other message: renews a known peer, never adds one.
    void ApplyMessage(const CMessageRecord& record);
    // An exit notice.
    void ApplyExit(std::string_view computer);
    // After the recipient list has been brought in line: pending names
    // become the shown ones.
    void CommitPendingUsers();

    const std::vector<CPeerRecord>& Peers() const { return m_peers; }
    std::vector<CPeerRecord>& Peers() { return m_peers; }

private:
    void Renew(std::size_t index, std::string_view user, std::uint32_t time);
    // The slot for a computer not in the table, or -1 when it is full and
    // no slot may be reused.
    int MakeRoomFor(std::string_view computer, std::uint32_t now);
    std::size_t LongestSilent();

    // In the order they were first heard, except that a reused slot keeps
    // its place (see MakeRoomFor).
    std::vector<CPeerRecord> m_peers;
    std::unordered_map<std::string, std::size_t, CNoCaseAsciiHash, CNoCaseAsciiEqual> m_index;  // computer -> slot
    // Every slot by its last seen as it was when the slot was last filed
    // here, the longest silent first.
    std::set<std::pair<std::uint32_t, std::size_t>> m_bySilence;
};

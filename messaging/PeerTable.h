#pragma once
// The computers known to run a copy, as learnt from their presence pings.
// Entries are never removed: a computer that falls silent or says goodbye
// is only marked as no longer alive.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "messaging/MessageRecord.h"

struct CPeerRecord {
    std::string computer;
    std::string user;         // the name the recipient list shows now
    std::string pendingUser;  // a newly announced name, shown from the next refresh
    std::uint32_t lastSeen = 0;
    std::uint8_t gone = 1;    // until the first ping has been applied

    static constexpr std::uint32_t kAliveSeconds = 15;

    // "Computer  (user)": the peer's text in the recipient list.
    std::string GetPeerListText(bool usePending) const;
    std::uint32_t GetSecondsSinceSeen(std::uint32_t now) const { return now - lastSeen; }
    bool IsAlive(std::uint32_t now) const { return gone == 0 && GetSecondsSinceSeen(now) < kAliveSeconds; }
};

class CPeerTable {
public:
    // Index of the first peer whose computer equals `computer` without
    // regard to ASCII case, or -1.
    int FindPeer(std::string_view computer) const;
    // The list text of the peer called `computer`, empty when unknown.
    std::string GetListText(std::string_view computer) const;

    // A ping from another computer announcing `user` (never empty).
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
    void Renew(CPeerRecord& peer, std::string_view user, std::uint32_t time);

    std::vector<CPeerRecord> m_peers;  // in the order they were first heard
};

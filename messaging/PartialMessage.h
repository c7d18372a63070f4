#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "messaging/MessageRecord.h"

// The state kept per sender key ("Lab2" for direct, "Lab2*" for broadcast
// datagrams) to drop repeats and join the chunks of long messages.
struct CPartialMessage {
    std::string key;
    std::string text;          // chunks received so far; empty between messages
    std::string lastSequence;  // sequence field of the last accepted datagram
};

enum class EDatagramResult { Applied, Repeat, Malformed };

// The partial-message table of an endpoint. Datagrams come from other
// computers and are untrusted: every read stays within the n bytes given,
// and the table is bounded in both directions (see the limits below).
class CPartialMessageTable {
public:
    // Legitimate messages are at most 20480 characters plus the user name;
    // a sender that never ends its message cannot make us hold more than this.
    static constexpr std::size_t kMaxMessageBytes = 64 * 1024;
    // Far above the computers of any one network. When a new key arrives at
    // the limit, the oldest idle entry (or, if none is idle, the oldest one)
    // makes room, so spoofed sender names cannot grow the table without end.
    static constexpr std::size_t kMaxEntries = 1024;

    // Parses one datagram of `size` bytes and, when it ends a message,
    // appends the record (with `now` as its time) to `records`.
    EDatagramResult Apply(const char* data, std::size_t size, std::uint32_t now,
                          std::vector<CMessageRecord>& records);

    const std::vector<CPartialMessage>& Entries() const { return m_entries; }

private:
    CPartialMessage& FindOrAdd(std::string_view key);

    std::vector<CPartialMessage> m_entries;  // in the order the keys first appeared
};

#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <list>
#include <string_view>
#include <unordered_map>
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
// and the table is bounded in both directions (see the limits below). A key
// is found in constant time, and so is the entry that makes room.
class CPartialMessageTable {
public:
    // Legitimate messages are at most 20480 characters plus the user name;
    // a sender that never ends its message cannot make us hold more than this.
    static constexpr std::size_t kMaxMessageBytes = 64 * 1024;
    // Far above the computers of any one network. When a new key arrives at
    // the limit, the entry idle the longest (or, if none is idle, the one
    // collecting the longest) makes room, so spoofed sender names cannot
    // grow the table without end.
    static constexpr std::size_t kMaxEntries = 1024;

    // Parses one datagram of `size` bytes and, when it ends a message,
    // appends the record (with `now` as its time) to `records`.
    EDatagramResult Apply(const char* data, std::size_t size, std::uint32_t now,
                          std::vector<CMessageRecord>& records);

    std::size_t Size() const { return m_entries.size(); }
    // The entry of a sender key, any letter case; null when there is none.
    const CPartialMessage* Find(std::string_view key) const;

private:
    // Entries in the order of their last use, oldest first: one list for
    // those between messages, one for those collecting chunks.
    using CUseOrder = std::list<CPartialMessage>;
    struct CSlot {
        CUseOrder* list;
        CUseOrder::iterator entry;
    };

    CSlot& FindOrAdd(std::string_view key);
    // Moves the entry to the end of the list that its text says it belongs to.
    void Touch(CSlot& slot);

    CUseOrder m_idle;
    CUseOrder m_collecting;
    std::unordered_map<std::string, CSlot> m_entries;  // by lower-cased key
};

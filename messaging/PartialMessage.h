#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <list>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "messaging/MessageRecord.h"
#include "messaging/ProtocolLimits.h"
#include "util/AsciiText.h"

// The state kept per sender key ("Lab2" for direct, "Lab2*" for broadcast
// datagrams) to drop repeats and join the chunks of long messages.
struct CPartialMessage {
    std::string key;
    std::string text;          // chunks received so far; empty between messages
    std::string lastSequence;  // sequence field of the last accepted datagram
    std::string firstSequence; // of the first datagram of the text being collected
    std::uint32_t lastTick = 0; // when the last datagram of the key came, in milliseconds
    // The message being joined was shown or dropped before its end came, so
    // a chunk that goes on with it has lost its beginning.
    bool cut = false;
};

enum class EDatagramResult { Applied, Repeat, Malformed };

// The partial-message table of an endpoint. Datagrams come from other
// computers and are untrusted: every read stays within the n bytes given,
// and the table is bounded in both directions (see the limits below). A key
// is found in constant time, and so is the entry that makes room.
//
// The chunks of one message carry consecutive sequence numbers, so a lost
// datagram leaves a visible gap: a partial text is never joined across it.
// What did arrive is shown, with kMissingPartMarker where text is missing;
// the datagram after the gap is read as what it is (a ping stays a ping).
class CPartialMessageTable {
public:
    // What a sender that never ends its message can make us hold for it.
    static constexpr std::size_t kMaxMessageBytes = kMaxJoinedMessageBytes;
    // The partial texts of all keys together; past it the text collecting
    // the longest is dropped, and what follows of it comes with the marker.
    static constexpr std::size_t kMaxTextBytes = kMaxPartialTextsBytes;
    // Far above the computers of any one network. When a new key arrives at
    // the limit, the entry idle the longest (or, if none is idle, the one
    // collecting the longest) makes room, so spoofed sender names cannot
    // grow the table without end.
    static constexpr std::size_t kMaxEntries = 1024;

    // Parses one datagram of `size` bytes and appends the records it
    // completes, with `now` (seconds) as their time: at most two, when a
    // partial text cut short by a gap ends before this datagram's own
    // message. `ticks` (milliseconds) times the wait for the next chunk.
    EDatagramResult Apply(const char* data, std::size_t size, std::uint32_t now, std::uint32_t ticks,
                          std::vector<CMessageRecord>& records);
    // Shows, with the marker at their end, at most `maxRecords` partial
    // texts whose next chunk has not come for kPartialTextWaitMs, those
    // waiting longest first. Returns the number of records appended.
    std::size_t ExpireWaiting(std::uint32_t now, std::uint32_t ticks, std::size_t maxRecords,
                              std::vector<CMessageRecord>& records);

    std::size_t Size() const { return m_entries.size(); }
    // The partial texts of all keys together, in bytes.
    std::size_t TextBytes() const { return m_textBytes; }
    // The entry of a sender key, any letter case; null when there is none.
    const CPartialMessage* Find(std::string_view key) const;
    // Calls `visit` with every entry, for checks of what the table holds.
    template <typename Visit>
    void ForEach(Visit&& visit) const {
        for (const CPartialMessage& entry : m_idle) visit(entry);
        for (const CPartialMessage& entry : m_collecting) visit(entry);
    }

private:
    // Entries in the order of their last use, oldest first: one list for
    // those between messages, one for those collecting chunks.
    using CUseOrder = std::list<CPartialMessage>;
    struct CSlot {
        CUseOrder* list;
        CUseOrder::iterator entry;
    };

    CSlot& FindOrAdd(std::string_view key);
    EDatagramResult ApplyTo(CPartialMessage& entry, std::string_view key, const char* data, std::size_t size,
                            std::uint32_t now, std::vector<CMessageRecord>& records);
    // Ends the oldest partial text without showing it, to keep the total.
    void CutOldest();
    // Moves the entry to the end of the list that its text says it belongs to.
    void Touch(CSlot& slot);

    CUseOrder m_idle;
    CUseOrder m_collecting;
    std::size_t m_textBytes = 0;  // of every entry's text
    // By the entry's own key, any letter case: the list nodes never move,
    // so the views stay valid while their entry lives.
    std::unordered_map<std::string_view, CSlot, CNoCaseAsciiHash, CNoCaseAsciiEqual> m_entries;
};

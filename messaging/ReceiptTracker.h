#pragma once
// The sender's side of delivery receipts: which direct messages wait for
// one, which computers have ever sent one, and the reports of the messages
// that waited in vain. Pure, on the caller's tick count.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "messaging/MessageRecord.h"
#include "messaging/ProtocolLimits.h"
#include "util/LruMap.h"

class CReceiptTracker {
public:
    static constexpr std::size_t kMaxPending = kMaxPendingReceipts;
    static constexpr std::size_t kMaxConfirming = kMaxConfirmingComputers;

    // A direct message went to `computer` (as the To: list names it) at
    // `ticks`, its first datagram numbered `sequence`; it waits `waitMs`.
    void Sent(std::string computer, std::string sequence, std::uint32_t ticks, std::uint32_t waitMs);
    // A receipt for `sequence` came from `computer`. Only one that matches
    // a message waiting counts, and it makes the computer one that
    // confirms; true then.
    bool Confirmed(std::string_view computer, std::string_view sequence);
    // The reports, stamped `now`, of the messages whose wait has ended by
    // `ticks` to computers that confirm; the others are forgotten.
    std::vector<CMessageRecord> Expire(std::uint32_t ticks, std::uint32_t now);

    std::size_t Pending() const { return m_pending.size(); }
    std::size_t ConfirmingComputers() const { return m_confirming.Size(); }
    bool IsConfirming(std::string_view computer);

private:
    struct CPending {
        std::string computer;
        std::string sequence;
        std::uint32_t sent = 0;
        std::uint32_t waitMs = 0;
    };
    std::deque<CPending> m_pending;           // in the order they were sent
    CLruMap<bool> m_confirming{kMaxConfirming};  // by lower-cased computer name
};

// "Lab3 did not confirm that your message arrived.", as a notice of its own.
CMessageRecord MakeNotConfirmedNotice(const std::string& computer, std::uint32_t time);

#pragma once
// mivlet-peer send's wait for the receipt of the message it sent: which
// sends wait, which datagram is the receipt, and what is said of it. A
// send is a process of its own that never holds the messenger's port, so
// its receipt comes back to the port it sent from (see
// messaging/AnswerPlan.h).

#include <cstdint>
#include <string>
#include <vector>

#include "messaging/Mailslot.h"
#include "messaging/MessageRecord.h"
#include "platform/Clock.h"

enum class EReceiptOutcome {
    NotAwaited,    // no receipt comes for such a message, or --wait 0
    Confirmed,     // the target's receipt came within the wait
    NotConfirmed,  // sent, but no receipt came within the wait
};

// Whether a send waits for a receipt: only direct chat messages to another
// computer are confirmed (never a message to all users, a command, or one
// to this computer), and only when there is time to wait.
bool AwaitsReceipt(const CDatagramTarget& target, const std::string& sender, std::uint32_t waitMs);

// Whether `record` is the receipt for the message to `target` whose first
// datagram was numbered `sequence`: "admin:received NNNNN" under the
// command marker, from the computer of that name or, for a target given as
// an address or another name, from an address `target` resolved to.
bool IsReceiptFor(const CMessageRecord& record, const std::string& target,
                  const std::vector<InetAddress>& targetAddresses, const std::string& sequence);

struct CReceiptWait {
    std::string target;
    std::vector<InetAddress> targetAddresses;
    std::string sequence;
    std::uint32_t waitMs = 0;
};

// Reads `endpoint` until the receipt comes or `wait.waitMs` has passed;
// the milliseconds it took when it came, -1 otherwise.
std::int64_t WaitForReceipt(CMailslot& endpoint, CClock& clock, const CReceiptWait& wait);

// What send prints: nothing for a message that waits for no receipt in
// plain output; with `json` always one object, {"sent":true,
// "awaited":…,"receipt":…} and the milliseconds waited.
std::string FormatReceiptOutcome(EReceiptOutcome outcome, const std::string& target, std::uint32_t waitMs,
                                 std::int64_t tookMs, bool json);

#pragma once
// The messaging steps of the receive tick: what happens to the records one
// drain of the mailslot brought, before the window reacts to them.

#include <string>
#include <vector>

#include "messaging/CommandDispatcher.h"
#include "messaging/CommandText.h"
#include "messaging/MessageRecord.h"
#include "messaging/PeerTable.h"

struct CLastSender {
    bool found = false;   // a chat message from another computer arrived
    std::string sender;   // its computer, or empty when it went to all users
};

// The latest chat record with text from another computer (one that is
// shown) decides the last sender.
CLastSender FindLastSender(const std::vector<CMessageRecord>& records, const std::string& localComputer);

// Renews peers from every chat record and hands those with text to `show`,
// in order; then gives every command record to the dispatcher. Returns the
// last sender.
template <typename ShowFunction>
CLastSender ProcessReceivedRecords(std::vector<CMessageRecord>& records, CPeerTable& peers,
                                   CCommandContext* commands, const std::string& localComputer,
                                   ShowFunction&& show) {
    const CLastSender lastSender = FindLastSender(records, localComputer);
    for (CMessageRecord& record : records) {
        if (IsCommandRecord(record)) continue;
        peers.ApplyMessage(record);
        if (!record.text.empty()) show(record);
    }
    for (CMessageRecord& record : records)
        if (IsCommandRecord(record)) DispatchCommand(record, commands);
    records.clear();
    return lastSender;
}

#include "tools/peer/SendReceipt.h"

#include <algorithm>
#include <cstdio>

#include "messaging/CommandText.h"
#include "tools/peer/PeerOutput.h"
#include "util/AsciiText.h"

bool AwaitsReceipt(const CDatagramTarget& target, const std::string& sender, std::uint32_t waitMs) {
    return waitMs > 0 && target.kind == CDatagramTarget::EKind::Computer && sender != kCommandMarker;
}

bool IsReceiptFor(const CMessageRecord& record, const std::string& target,
                  const std::vector<InetAddress>& targetAddresses, const std::string& sequence) {
    if (record.user != kCommandMarker || record.broadcast) return false;
    const std::optional<CCommand> command = ParseCommand(record);
    if (!command || !EqualsNoCaseAscii(command->verb, kReceivedVerb) || command->argument != sequence) return false;
    if (EqualsNoCaseAscii(record.computer, target)) return true;
    return record.source.address != 0 && std::find(targetAddresses.begin(), targetAddresses.end(),
                                                   record.source.address) != targetAddresses.end();
}

std::int64_t WaitForReceipt(CMailslot& endpoint, CClock& clock, const CReceiptWait& wait) {
    constexpr std::uint32_t kReadPeriodMs = 50;
    const std::uint32_t start = clock.Ticks();
    std::vector<CMessageRecord> records;
    for (;;) {
        records.clear();
        endpoint.Receive(records);
        for (const CMessageRecord& record : records)
            if (IsReceiptFor(record, wait.target, wait.targetAddresses, wait.sequence)) return clock.Ticks() - start;
        const std::uint32_t waited = clock.Ticks() - start;
        if (waited >= wait.waitMs) return -1;
        endpoint.WaitForMessage(std::min(kReadPeriodMs, wait.waitMs - waited));
    }
}

std::string FormatReceiptOutcome(EReceiptOutcome outcome, const std::string& target, std::uint32_t waitMs,
                                 std::int64_t tookMs, bool json) {
    char line[256];
    if (json) {
        const bool awaited = outcome != EReceiptOutcome::NotAwaited;
        const bool came = outcome == EReceiptOutcome::Confirmed;
        std::snprintf(line, sizeof line, "{\"sent\":true,\"awaited\":%s,\"receipt\":%s,\"waited_ms\":%lld}",
                      awaited ? "true" : "false", came ? "true" : "false",
                      static_cast<long long>(came ? tookMs : awaited ? waitMs : 0));
        return line;
    }
    const std::string name = EscapeControlCharacters(target);
    switch (outcome) {
    case EReceiptOutcome::NotAwaited: return {};
    case EReceiptOutcome::Confirmed:
        std::snprintf(line, sizeof line, ": the message arrived (%lld ms)", static_cast<long long>(tookMs));
        return "receipt from " + name + line;
    case EReceiptOutcome::NotConfirmed: break;
    }
    std::snprintf(line, sizeof line, "%.1f", waitMs / 1000.0);
    return "sent, but no receipt from " + name + " within " + line + " s";
}

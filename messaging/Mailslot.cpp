#include "messaging/Mailslot.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "messaging/Datagram.h"
#include "util/AsciiText.h"

CMailslot::CMailslot(CDatagramCarrier& carrier, CClock& clock, std::string localComputer)
    : m_carrier(carrier), m_clock(clock), m_localComputer(std::move(localComputer)) {
    Create();
}

CMailslot::~CMailslot() {
    if (IsOpen()) m_carrier.Close();
}

bool CMailslot::Create() {
    if (IsOpen()) return true;
    m_openResult = m_carrier.Open();
    return IsOpen();
}

CDatagramTarget CMailslot::TargetOf(const std::string& target) const {
    if (target == "*") return CDatagramTarget::All();
    if (target.empty() || EqualsNoCaseAscii(target, m_localComputer)) return CDatagramTarget::This();
    return CDatagramTarget::Computer(target);
}

ESendResult CMailslot::SendDatagram(const CDatagramTarget& target, std::string_view datagram, bool retry) {
    const std::uint32_t start = m_clock.Ticks();
    for (;;) {
        const ESendResult result = m_carrier.Send(target, datagram);
        if (result != ESendResult::NotReady || !retry) return result;
        const std::uint32_t now = m_clock.Ticks();
        const std::uint32_t deadline = start + kOpenRetryWindowMs;
        // Gives up, too, when the tick count wrapped since the start.
        if (deadline > now + kOpenRetryWindowMs || now >= deadline) return result;
    }
}

bool CMailslot::Send(const char* target, const char* userName, const char* text, bool retry) {
    if (!target) return false;
    return SendText(TargetOf(target), userName, text, retry);
}

bool CMailslot::Answer(const CMessageRecord& record, const char* userName, const char* text, bool retry) {
    CDatagramTarget to = TargetOf(record.computer);
    if (to.kind == CDatagramTarget::EKind::Computer) to.answerTo = record.source;
    return SendText(to, userName, text, retry);
}

bool CMailslot::SendText(const CDatagramTarget& to, const char* userName, const char* text, bool retry) {
    if (!userName || !text) return false;

    const bool broadcast = to.kind == CDatagramTarget::EKind::AllComputers;
    std::string remaining = std::string(userName) + std::string(kUserTextSeparator) + text;

    // The wire needs a sender field, and room for a chunk beside it.
    if (m_localComputer.empty() || m_localComputer.size() > kMaxDatagramSize / 2) return false;
    const std::size_t budget = ChunkBudget(m_localComputer.size(), broadcast);
    const std::uint32_t pause = m_carrier.ChunkPauseMs(to);

    std::array<char, kMaxDatagramSize> buffer{};
    while (!remaining.empty()) {
        const bool continued = remaining.size() > budget;
        const std::size_t chunkLength = continued ? budget - 1 : remaining.size();
        const std::int32_t sequence = (m_sequence + 1) % kSequenceModulus;
        const std::size_t size = FormatDatagram(buffer.data(), m_localComputer, broadcast, sequence,
                                                std::string_view(remaining).substr(0, chunkLength), continued);
        const std::string_view datagram(buffer.data(), size);

        ESendResult result = SendDatagram(to, datagram, retry);
        // A target that was never reached has seen nothing of this datagram,
        // so its number stays free.
        if (result == ESendResult::NotReady || result == ESendResult::Unreachable) return false;
        m_sequence = sequence;
        // A write that failed is tried once more; one that went in part,
        // not: its rest cannot follow.
        if (result == ESendResult::Incomplete) {
            m_clock.Sleep(kRewriteDelayMs);
            result = m_carrier.Send(to, datagram);
        }
        if (result != ESendResult::Sent) return false;
        remaining.erase(0, chunkLength);
        if (continued && pause) m_clock.Sleep(pause);
    }
    return true;
}

bool CMailslot::Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams) {
    return Receive(records, maxDatagrams, nullptr, SIZE_MAX);
}

bool CMailslot::Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams,
                        const std::function<bool(const CMessageRecord&)>& counts, std::size_t maxCounted) {
    if (!IsOpen()) return false;
    std::size_t counted = 0;
    // Counts what was appended from `from` on; true once the caller's limit is reached.
    const auto reachedLimit = [&](std::size_t from) {
        if (!counts) return false;
        for (std::size_t at = from; at < records.size(); ++at)
            if (counts(records[at])) ++counted;
        return counted >= maxCounted;
    };
    const std::uint32_t now = m_clock.Now();
    const std::uint32_t ticks = m_clock.Ticks();
    const std::size_t first = records.size();
    m_partial.ExpireWaiting(now, ticks, maxCounted, records);
    if (reachedLimit(first)) return true;
    for (std::size_t taken = 0; taken < maxDatagrams; ++taken) {
        const EReceiveResult got = m_carrier.Receive(m_received);
        if (got == EReceiveResult::Empty) return true;
        if (got == EReceiveResult::Failed) return false;

        const std::size_t before = records.size();
        if (m_partial.Apply(m_received.bytes.data(), m_received.bytes.size(), now, ticks, records) == EDatagramResult::Malformed)
            return false;
        if (m_received.path == CReceivedDatagram::EPath::Network)
            for (std::size_t at = before; at < records.size(); ++at)
                records[at].source = CDatagramSource{m_received.from, m_received.fromPort};
        if (reachedLimit(before)) return true;
    }
    return true;
}

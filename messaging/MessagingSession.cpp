#include "messaging/MessagingSession.h"

#include <vector>

#include "messaging/CommandText.h"
#include "messaging/LossNotice.h"

CMessagingSession::CMessagingSession(CDatagramCarrier& carrier, CClock& clock, std::string localComputer,
                                     CBuildInfo build, CSessionHost& host)
    : m_carrier(carrier),
      m_clock(clock),
      m_host(host),
      m_build(std::move(build)),
      m_endpoint(carrier, clock, std::move(localComputer)) {}

bool CMessagingSession::SendPing(const std::string& user) {
    return m_endpoint.Send("*", kCommandMarker, (std::string(kPingText) + user).c_str(), true);
}

bool CMessagingSession::SendExitNotice() { return m_endpoint.Send("*", kCommandMarker, kExitNoticeText, true); }

bool CMessagingSession::Send(const std::string& target, const std::string& sender, const std::string& text) {
    return m_endpoint.Send(target.c_str(), sender.c_str(), text.c_str(), true);
}

std::optional<CLastSender> CMessagingSession::Receive(const ShowFunction& show) {
    for (const CDroppedFromSource& dropped : m_carrier.TakeDropped())
        if (const auto notice = MakeLossNotice(dropped, Now())) show(*notice);
    // Runs with nothing waiting too: a partial text that waits too long
    // for its next chunk is shown then.
    std::vector<CMessageRecord> records;
    m_endpoint.Receive(
        records, kMaxDatagramsPerStep,
        [](const CMessageRecord& record) { return !IsCommandRecord(record) && !record.text.empty(); },
        kMaxShownPerStep);
    if (records.empty()) return std::nullopt;
    return ProcessReceivedRecords(records, m_peers, this, m_endpoint.LocalComputer(), show);
}

// The asker's name comes from the datagram and may be made up.
void CMessagingSession::SendVersionReply(const std::string& computer) {
    const std::string& local = m_endpoint.LocalComputer();
    if (!m_peers.IsReplyTarget(computer, local)) return;
    m_endpoint.Send(computer.c_str(), local.c_str(), MakeVersionReply(m_build).c_str(), true);
}

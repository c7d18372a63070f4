#include "messaging/MessagingSession.h"

#include <vector>

#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/LossNotice.h"
#include "messaging/ProtocolLimits.h"
#include "messaging/WireText.h"
#include "util/AsciiText.h"

CMessagingSession::CMessagingSession(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage,
                                     std::string localComputer, CBuildInfo build, CSessionHost& host)
    : m_carrier(carrier),
      m_clock(clock),
      m_codePage(codePage),
      m_host(host),
      m_build(std::move(build)),
      m_endpoint(carrier, clock, std::move(localComputer)) {}

bool CMessagingSession::SendPing(const std::string& user) {
    return SendWireMessage(m_endpoint, m_codePage, "*", kCommandMarker, std::string(kPingText) + user, true);
}

bool CMessagingSession::SendExitNotice() { return m_endpoint.Send("*", kCommandMarker, kExitNoticeText, true); }

bool CMessagingSession::Send(const std::string& target, const std::string& sender, const std::string& text) {
    const std::string first = FormatSequenceField((m_endpoint.SequenceCounter() + 1) % kSequenceModulus);
    if (!SendWireMessage(m_endpoint, m_codePage, target, sender, text, true)) return false;
    const CDatagramTarget to = m_endpoint.TargetOf(target);
    if (to.kind == CDatagramTarget::EKind::Computer && sender != kCommandMarker) {
        // A carrier that paces chunks is read seldom too: the answer comes later.
        const std::uint32_t wait = m_carrier.ChunkPauseMs(to) != 0 ? kReceiptWaitPacedMs : kReceiptWaitMs;
        m_receipts.Sent(target, first, m_clock.Ticks(), wait);
    }
    return true;
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
    for (CMessageRecord& record : records) DecodeWireFields(m_codePage, record);
    std::optional<CLastSender> last;
    if (!records.empty()) {
        std::vector<CMessageRecord> shown;
        last = ProcessReceivedRecords(records, m_peers, this, m_endpoint.LocalComputer(),
                                      [&](const CMessageRecord& record) {
                                          show(record);
                                          shown.push_back(record);
                                      });
        // Once, without retry: a receipt lost on the way costs one report.
        // Asked after the step's commands, so that a sender's ping that
        // came just before its message counts (mivlet-peer send pings
        // first); and as an answer, so that a sender without the port of
        // its computer's copy hears it too.
        for (const CMessageRecord& record : shown)
            if (NeedsReceipt(record) && IsAvailable())
                m_endpoint.Answer(record, kCommandMarker, (std::string(kReceiptText) + record.sequence).c_str(), false);
    }
    // After this step's receipts, so that one arriving just in time counts.
    for (const CMessageRecord& report : m_receipts.Expire(m_clock.Ticks(), Now())) show(report);
    return last;
}

bool CMessagingSession::NeedsReceipt(const CMessageRecord& record) const {
    const std::string& local = m_endpoint.LocalComputer();
    // The sender field is untrusted: only a computer that is listed (or
    // could be answered otherwise) gets one, as the version reply does.
    return !record.notice && !record.broadcast && !IsCommandRecord(record) && !record.text.empty() &&
           ReadSequenceField(record.sequence) && !EqualsNoCaseAscii(record.computer, local) &&
           m_peers.IsReplyTarget(record.computer, local);
}

void CMessagingSession::ReceiptArrived(const std::string& computer, const std::string& sequence) {
    m_receipts.Confirmed(computer, sequence);
}

// The asker's name comes from the datagram and may be made up.
void CMessagingSession::SendVersionReply(const std::string& computer) {
    const std::string& local = m_endpoint.LocalComputer();
    if (!m_peers.IsReplyTarget(computer, local)) return;
    SendWireMessage(m_endpoint, m_codePage, computer, local, MakeVersionReply(m_build), true);
}

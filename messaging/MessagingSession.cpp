#include "messaging/MessagingSession.h"

#include <vector>

#include "messaging/CommandText.h"
#include "util/AsciiText.h"

CMessagingSession::CMessagingSession(CMailslotApi& api, std::string localComputer, std::string buildDate,
                                     CSessionHost& host)
    : m_api(api),
      m_host(host),
      m_buildDate(std::move(buildDate)),
      m_endpoint(api, kMailslotName, std::move(localComputer)) {}

bool CMessagingSession::SendPing(const std::string& user) {
    return m_endpoint.Send("*", kCommandMarker, (std::string(kPingText) + user).c_str(), true);
}

bool CMessagingSession::SendExitNotice() { return m_endpoint.Send("*", kCommandMarker, kExitNoticeText, true); }

bool CMessagingSession::Send(const std::string& target, const std::string& sender, const std::string& text) {
    return m_endpoint.Send(target.c_str(), sender.c_str(), text.c_str(), true);
}

std::optional<CLastSender> CMessagingSession::Receive(const ShowFunction& show) {
    if (!m_endpoint.HasMessages()) return std::nullopt;
    std::vector<CMessageRecord> records;
    m_endpoint.Receive(records);
    if (records.empty()) return std::nullopt;
    return ProcessReceivedRecords(records, m_peers, this, m_endpoint.LocalComputer(), show);
}

// The asker's name comes from the datagram and may be made up: a name that
// cannot be opened would hold the program for the whole retry window, once
// for every such request. Copies that ping are known, and get the retries.
void CMessagingSession::SendVersionReply(const std::string& computer) {
    const std::string& local = m_endpoint.LocalComputer();
    const bool known = m_peers.FindPeer(computer) >= 0 || EqualsNoCaseAscii(computer, local);
    m_endpoint.Send(computer.c_str(), local.c_str(), MakeVersionReply(m_buildDate).c_str(), known);
}

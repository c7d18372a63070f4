#include "messaging/ReceiptTracker.h"

#include <algorithm>

#include "util/AsciiText.h"

void CReceiptTracker::Sent(std::string computer, std::string sequence, std::uint32_t ticks, std::uint32_t waitMs) {
    if (m_pending.size() >= kMaxPending) m_pending.pop_front();
    m_pending.push_back(CPending{std::move(computer), std::move(sequence), ticks, waitMs});
}

bool CReceiptTracker::Confirmed(std::string_view computer, std::string_view sequence) {
    const auto found = std::find_if(m_pending.begin(), m_pending.end(), [&](const CPending& pending) {
        return pending.sequence == sequence && EqualsNoCaseAscii(pending.computer, computer);
    });
    if (found == m_pending.end()) return false;
    m_confirming.Put(LowerAscii(found->computer), true);
    m_pending.erase(found);
    return true;
}

bool CReceiptTracker::IsConfirming(std::string_view computer) {
    return m_confirming.Find(LowerAscii(computer)) != nullptr;
}

std::vector<CMessageRecord> CReceiptTracker::Expire(std::uint32_t ticks, std::uint32_t now) {
    std::vector<CMessageRecord> reports;
    // Differences of unsigned ticks, so that the tick count may wrap.
    const auto over = [&](const CPending& pending) { return ticks - pending.sent >= pending.waitMs; };
    for (const CPending& pending : m_pending)
        if (over(pending) && IsConfirming(pending.computer))
            reports.push_back(MakeNotConfirmedNotice(pending.computer, now));
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(), over), m_pending.end());
    return reports;
}

CMessageRecord MakeNotConfirmedNotice(const std::string& computer, std::uint32_t time) {
    CMessageRecord notice;
    notice.notice = true;
    notice.time = time;
    notice.text = computer + std::string(kNotConfirmedText);
    return notice;
}

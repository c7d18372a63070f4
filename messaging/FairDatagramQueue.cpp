#include "messaging/FairDatagramQueue.h"

#include <algorithm>

#include "messaging/CommandText.h"
#include "messaging/Datagram.h"

namespace {

// Whether a datagram ends a message that would have been shown: its last
// two bytes are not both zero and its chunk does not start a command.
bool EndsChatMessage(const std::string& bytes) {
    const auto fields = ReadDatagramFields(bytes);
    if (!fields || fields->continued) return false;
    const std::string command = std::string(kCommandMarker) + std::string(kUserTextSeparator);
    return fields->chunk.substr(0, command.size()) != command;
}

}  // namespace

void CFairDatagramQueue::Push(std::string bytes, InetAddress from, std::uint32_t tick, std::uint16_t fromPort) {
    if (m_size >= kCapacity) {
        auto loser = std::max_element(m_sources.begin(), m_sources.end(), [](const auto& a, const auto& b) {
            return a.second.datagrams.size() < b.second.datagrams.size();
        });
        // Of the sources that hold the most, the one that sends gives way.
        const auto own = m_sources.find(from);
        if (own != m_sources.end() && own->second.datagrams.size() >= loser->second.datagrams.size()) loser = own;
        // Its oldest go: what it sends now (the message after its flood)
        // matters more than what has waited longest.
        Drop(loser->first, loser->second.datagrams.front().bytes, tick);
        loser->second.datagrams.pop_front();
        --m_size;
        if (loser->second.datagrams.empty()) {
            m_turns.erase(std::find(m_turns.begin(), m_turns.end(), loser->first));
            m_sources.erase(loser);
        }
    }
    CSource& source = m_sources[from];
    if (source.datagrams.empty()) m_turns.push_back(from);
    source.datagrams.push_back(CWaiting{std::move(bytes), fromPort});
    ++m_size;
}

bool CFairDatagramQueue::Pop(CQueuedDatagram& datagram) {
    if (m_turns.empty()) return false;
    const InetAddress from = m_turns.front();
    m_turns.pop_front();
    const auto source = m_sources.find(from);
    datagram.bytes = std::move(source->second.datagrams.front().bytes);
    datagram.from = from;
    datagram.fromPort = source->second.datagrams.front().fromPort;
    source->second.datagrams.pop_front();
    --m_size;
    if (source->second.datagrams.empty())
        m_sources.erase(source);
    else
        m_turns.push_back(from);
    return true;
}

void CFairDatagramQueue::Drop(InetAddress from, const std::string& bytes, std::uint32_t tick) {
    auto found = m_losses.find(from);
    if (found == m_losses.end()) {
        if (m_losses.size() >= kMaxCountedSources) {
            const auto oldest = std::min_element(m_losses.begin(), m_losses.end(), [](const auto& a, const auto& b) {
                return a.second.firstTick < b.second.firstTick;
            });
            m_overflow.push_back(oldest->second.dropped);
            m_losses.erase(oldest);
            // Bounded too: one report a source at most, and at most this many.
            if (m_overflow.size() > kMaxCountedSources) m_overflow.erase(m_overflow.begin());
        }
        found = m_losses.emplace(from, CLosses{CDroppedFromSource{from, 0, 0}, tick, tick}).first;
    }
    CLosses& losses = found->second;
    ++losses.dropped.datagrams;
    if (EndsChatMessage(bytes)) ++losses.dropped.messages;
    losses.lastTick = tick;
}

std::vector<CDroppedFromSource> CFairDatagramQueue::TakeDropped(std::uint32_t tick, std::uint32_t quietMs,
                                                               std::uint32_t overdueMs) {
    std::vector<CDroppedFromSource> due = std::move(m_overflow);
    m_overflow.clear();
    for (auto it = m_losses.begin(); it != m_losses.end();) {
        const bool quiet = tick - it->second.lastTick >= quietMs;
        const bool overdue = tick - it->second.firstTick >= overdueMs;
        if (quiet || overdue) {
            due.push_back(it->second.dropped);
            it = m_losses.erase(it);
        } else {
            ++it;
        }
    }
    return due;
}

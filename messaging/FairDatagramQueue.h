#pragma once
// The datagrams taken off the socket and not yet read, shared fairly among
// the addresses they came from: when the queue is full, the source that
// holds the most gives up its oldest, and reading takes one datagram from
// each source in turn. A computer that floods the network so fills only
// its own share, and another computer's message is read among the next few.
// What a source lost is counted, for the user to be told once.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/DatagramCarrier.h"

struct CQueuedDatagram {
    std::string bytes;
    InetAddress from = 0;
    std::uint16_t fromPort = 0;
};

class CFairDatagramQueue {
public:
    // The most datagrams held; beyond this, sources give up their own.
    static constexpr std::size_t kCapacity = 256;
    // Sources whose losses are counted, at most; beyond this, the source
    // counted longest ago is reported at once.
    static constexpr std::size_t kMaxCountedSources = 256;

    // Adds a datagram; when the queue is full, the datagram dropped is the
    // oldest of the source that holds the most (this one's, when that is it).
    // The share is the address's, whatever port a datagram came from.
    void Push(std::string bytes, InetAddress from, std::uint32_t tick, std::uint16_t fromPort = 0);
    bool Pop(CQueuedDatagram& datagram);
    bool Empty() const { return m_size == 0; }
    std::size_t Size() const { return m_size; }

    // The losses of sources that lost nothing for `quietMs`, or whose first
    // loss not yet reported is `overdueMs` old; each is then forgotten.
    std::vector<CDroppedFromSource> TakeDropped(std::uint32_t tick, std::uint32_t quietMs, std::uint32_t overdueMs);

private:
    struct CWaiting {
        std::string bytes;
        std::uint16_t fromPort = 0;
    };
    struct CSource {
        std::deque<CWaiting> datagrams;
    };
    struct CLosses {
        CDroppedFromSource dropped;
        std::uint32_t firstTick = 0;
        std::uint32_t lastTick = 0;
    };

    void Drop(InetAddress from, const std::string& bytes, std::uint32_t tick);

    std::unordered_map<InetAddress, CSource> m_sources;  // only sources that hold datagrams
    std::deque<InetAddress> m_turns;                      // those sources, in the order they read next
    std::size_t m_size = 0;
    std::unordered_map<InetAddress, CLosses> m_losses;
    std::vector<CDroppedFromSource> m_overflow;  // reported at once: too many sources lost datagrams
};

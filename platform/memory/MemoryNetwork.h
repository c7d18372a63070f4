#pragma once
// An in-memory network of virtual computers with one virtual clock, standing
// in for the carrier and the clock in tests. Each computer carries datagrams
// as the system's mailslots do: to one computer by name, to all, to itself.
// Nothing here waits in real time: sleeping and failed sends move the
// virtual clock.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/DatagramCarrier.h"

class CMemoryNetwork;

// What the next send of a computer does instead of succeeding plainly.
enum class EWriteFault {
    None,                   // sent plainly; lets a test fault a later datagram of a message
    Fail,                   // nothing delivered
    SucceedWithLastError,   // delivered, but reported as not whole, as a write that leaves an error behind
    Short,                  // reported as a partial write, nothing delivered
};

class CMemoryComputer final : public CDatagramCarrier {
public:
    // The pause the system's mailslots need between the chunks of a message.
    static constexpr std::uint32_t kMailslotChunkPauseMs = 75;

    CMemoryComputer(CMemoryNetwork& network, std::string name) : m_network(network), m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }

    // Fault injection.
    void SetUnreachable(bool unreachable) { m_unreachable = unreachable; }
    bool IsUnreachable() const { return m_unreachable; }
    void QueueWriteFault(EWriteFault fault) { m_writeFaults.push_back(fault); }
    void FailNextSends(int count) { m_failSends += count; }
    // Makes every send to all computers unreachable, as on a system without
    // remote mailslots.
    void FailBroadcasts(bool fail) { m_failBroadcasts = fail; }
    void FailNextReceive() { ++m_failReceives; }
    void SetChunkPause(std::uint32_t milliseconds) { m_chunkPauseMs = milliseconds; }

    // Puts raw bytes into this computer's endpoint, as if they had arrived.
    void DeliverRaw(std::string bytes);
    std::size_t PendingDatagrams() const { return m_queue.size(); }

    // CDatagramCarrier
    EOpenResult Open() override;
    bool IsOpen() const override { return m_open; }
    void Close() override;
    ESendResult Send(const CDatagramTarget& target, std::string_view datagram) override;
    bool HasDatagrams() override { return !m_queue.empty(); }
    EReceiveResult Receive(CReceivedDatagram& datagram) override;
    std::uint32_t ChunkPauseMs(const CDatagramTarget&) const override { return m_chunkPauseMs; }
    bool WaitForDatagram(std::uint32_t timeoutMs) override;

private:
    friend class CMemoryNetwork;

    CMemoryNetwork& m_network;
    std::string m_name;
    bool m_open = false;
    bool m_unreachable = false;
    std::deque<std::string> m_queue;
    std::deque<EWriteFault> m_writeFaults;
    int m_failSends = 0;
    bool m_failBroadcasts = false;
    int m_failReceives = 0;
    std::uint32_t m_chunkPauseMs = kMailslotChunkPauseMs;
};

class CMemoryNetwork final : public CClock {
public:
    // The virtual clock starts at `startTick` (Ticks) and `startTime`
    // (seconds since 1970); a failed send costs `sendFailureCostMs`.
    explicit CMemoryNetwork(std::uint32_t startTick = 1000, std::uint32_t startTime = 957744000,
                            std::uint32_t sendFailureCostMs = 1);

    CMemoryComputer& AddComputer(std::string name);
    CMemoryComputer* FindComputer(std::string_view name);

    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(m_startTick + m_elapsedMs); }
    std::uint32_t Time() const { return static_cast<std::uint32_t>(m_startTime + m_elapsedMs / 1000); }
    void Advance(std::uint64_t milliseconds) { m_elapsedMs += milliseconds; }
    std::uint32_t SendFailureCostMs() const { return m_sendFailureCostMs; }
    // Lets every Ticks move the clock on, for code that spins on it.
    void SetTickCountStep(std::uint32_t milliseconds) { m_tickCountStep = milliseconds; }

    // CClock
    std::uint32_t Ticks() override;
    std::uint32_t Now() override { return Time(); }
    void Sleep(std::uint32_t milliseconds) override;
    // Every Sleep, in order.
    const std::vector<std::uint32_t>& Sleeps() const { return m_sleeps; }

    // Every datagram that reached at least the wire, in order.
    struct CWrite {
        std::string from;
        CDatagramTarget target;
        std::string bytes;
    };
    const std::vector<CWrite>& Writes() const { return m_writes; }

private:
    friend class CMemoryComputer;
    void Deliver(const CMemoryComputer& from, const CDatagramTarget& target, std::string bytes);

    std::vector<std::unique_ptr<CMemoryComputer>> m_computers;
    std::uint64_t m_startTick;
    std::uint64_t m_startTime;
    std::uint64_t m_elapsedMs = 0;
    std::uint32_t m_sendFailureCostMs;
    std::uint32_t m_tickCountStep = 0;
    std::vector<std::uint32_t> m_sleeps;
    std::vector<CWrite> m_writes;
};

// The receive tick over the in-memory backend, as the chat window runs it
// every 50 ms: the idle tick (nothing waiting), a tick that brings pings
// from peers already known, and the To: list refresh in its steady state.
// Prints time per tick; times nothing against a limit.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "chatwindow/RecipientList.h"
#include "messaging/CommandDispatcher.h"
#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/Mailslot.h"
#include "messaging/PeerTable.h"
#include "messaging/ReceiveTick.h"
#include "platform/memory/MemoryNetwork.h"

namespace {

constexpr char kMailslotName[] = "Mivlet";
constexpr char kLocal[] = "Office";
constexpr int kPingsPerTick = 50;

class CBenchContext final : public CCommandContext {
public:
    bool IsAvailable() override { return true; }
    CPeerTable& Peers() override { return peers; }
    const std::string& LocalComputer() override { return local; }
    void SendVersionReply(const std::string&) override {}
    std::string ModulePath() override { return "c:\\program files\\mivlet\\mivlet.exe"; }
    void Exit() override {}

    CPeerTable peers;
    std::string local = kLocal;
};

// This computer with `peerCount` peers that have pinged once each and a
// To: list that shows them all.
class CTickBench {
public:
    explicit CTickBench(int peerCount)
        : m_host(m_net.AddComputer(kLocal)), m_endpoint(m_host, kMailslotName, kLocal), m_sequences(peerCount, 0) {
        m_list.Add(kAllUsersEntry);
        m_list.Select(0);
        DeliverPings(0, peerCount);
        while (HasMessages()) Receive();
        Refresh();
    }

    int PeerCount() const { return static_cast<int>(m_sequences.size()); }
    bool HasMessages() { return m_endpoint.HasMessages(); }
    std::size_t ListSize() const { return m_list.Entries().size(); }

    // One ping datagram from each of `count` peers from `first` on, wrapping.
    void DeliverPings(int first, int count) {
        std::array<char, kMaxDatagramSize> buffer{};
        for (int n = 0; n < count; ++n) {
            const int p = (first + n) % PeerCount();
            const std::string sender = "Pc" + std::to_string(p);
            const std::string text = std::string(kCommandMarker) + std::string(kUserTextSeparator) +
                                     std::string(kPingText) + "User " + std::to_string(p);
            m_sequences[p] = (m_sequences[p] + 1) % kSequenceModulus;
            buffer.fill('\0');
            const std::size_t size = FormatDatagram(buffer.data(), sender, true, m_sequences[p], text, false);
            m_host.DeliverRaw(kMailslotName, std::string(buffer.data(), size));
        }
    }

    void Receive() {
        std::vector<CMessageRecord> records;
        m_endpoint.Receive(records);
        ProcessReceivedRecords(records, m_context.peers, &m_context, m_context.local,
                               [](const CMessageRecord& r) { benchmark::DoNotOptimize(r.text.data()); });
    }

    void Refresh() { RefreshRecipientList(m_context.peers, m_net.Time(), m_list); }

private:
    CMemoryNetwork m_net;
    CMemoryComputer& m_host;
    CMailslot m_endpoint;
    CBenchContext m_context;
    CMemoryRecipientList m_list;
    std::vector<int> m_sequences;
};

void PerTick(benchmark::State& state, const CTickBench& bench) {
    state.counters["peers"] = bench.PeerCount();
    state.counters["list"] = static_cast<double>(bench.ListSize());
    state.counters["tick"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_IdleTick(benchmark::State& state) {
    CTickBench bench(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const bool waiting = bench.HasMessages();
        benchmark::DoNotOptimize(waiting);
        if (!waiting) continue;
        bench.Receive();
    }
    PerTick(state, bench);
}
BENCHMARK(BM_IdleTick)->Arg(1000);

// 50 pings from known peers, different ones each tick, with or without
// the To: list refresh that follows them.
void PingTick(benchmark::State& state, bool refresh) {
    CTickBench bench(static_cast<int>(state.range(0)));
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.DeliverPings(next, kPingsPerTick);
        next = (next + kPingsPerTick) % bench.PeerCount();
        state.ResumeTiming();
        bench.Receive();
        if (refresh) bench.Refresh();
    }
    PerTick(state, bench);
    state.SetItemsProcessed(state.iterations() * kPingsPerTick);
}

void BM_PingTick(benchmark::State& state) { PingTick(state, true); }
BENCHMARK(BM_PingTick)->Arg(1000)->Arg(CPeerTable::kMaxPeers)->Unit(benchmark::kMicrosecond);

void BM_PingTickWithoutRefresh(benchmark::State& state) { PingTick(state, false); }
BENCHMARK(BM_PingTickWithoutRefresh)->Arg(1000)->Arg(CPeerTable::kMaxPeers)->Unit(benchmark::kMicrosecond);

// Every peer alive and no name pending: the refresh changes nothing.
void BM_SteadyRefresh(benchmark::State& state) {
    CTickBench bench(static_cast<int>(state.range(0)));
    for (auto _ : state) bench.Refresh();
    PerTick(state, bench);
    state.SetItemsProcessed(state.iterations() * bench.PeerCount());
}
BENCHMARK(BM_SteadyRefresh)->Arg(1000)->Arg(CPeerTable::kMaxPeers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

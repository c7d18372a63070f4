// The receive tick over the in-memory backend, through the messaging session
// as the chat window runs it every 50 ms: the idle tick (nothing waiting), a tick that brings pings
// from peers already known, and the To: list refresh in its steady state.
// Prints time per tick; times nothing against a limit.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "chatwindow/RecipientList.h"
#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/MessagingSession.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryNetwork.h"

namespace {

constexpr char kLocal[] = "Office";
constexpr int kPingsPerTick = 50;

// A copy that never ends and was not started from a share.
class CBenchHost final : public CSessionHost {
public:
    bool IsAvailable() override { return true; }
    std::string ModulePath() override { return "c:\\program files\\mivlet\\mivlet.exe"; }
    void Exit() override {}
};

// This computer with `peerCount` peers that have pinged once each and a
// To: list that shows them all.
class CTickBench {
public:
    explicit CTickBench(int peerCount)
        : m_host(m_net.AddComputer(kLocal)),
          m_session(m_host, m_net, m_codePage, kLocal, CBuildInfo{"Dec 12 2000", "1.0.0"}, m_sessionHost),
          m_sequences(peerCount, 0) {
        m_list.Add(kAllUsersEntry);
        m_list.Select(0);
        DeliverPings(0, peerCount);
        while (HasMessages()) Receive();
        Refresh();
    }

    int PeerCount() const { return static_cast<int>(m_sequences.size()); }
    bool HasMessages() { return m_session.Endpoint().HasMessages(); }
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
            m_host.DeliverRaw(std::string(buffer.data(), size));
        }
    }

    void Receive() {
        m_session.Receive([](const CMessageRecord& r) { benchmark::DoNotOptimize(r.text.data()); });
    }

    void Refresh() { RefreshRecipientList(m_session.Peers(), m_net.Time(), m_list); }

private:
    CMemoryNetwork m_net;
    CMemoryComputer& m_host;
    CBenchHost m_sessionHost;
    const CCodePage1252 m_codePage;
    CMessagingSession m_session;
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

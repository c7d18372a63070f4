// The receive path: parsing and joining datagrams that are already in
// memory, as presence pings (one datagram each) and as 20480-character
// messages (61 datagrams each), through the partial-message table alone and
// through a whole receive step (the endpoint reading the in-memory
// mailslot, the records handled, the peer table renewed). Pings come from
// 1000 computers over and over, or each from a name never seen before, as
// in a flood of forged names. Prints datagrams a second.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "messaging/Datagram.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "messaging/PartialMessage.h"
#include "platform/memory/MemoryNetwork.h"

namespace {

// The datagrams that `sender` writes for one message, numbered from `sequence`.
std::vector<std::string> Datagrams(const std::string& sender, bool broadcast, const std::string& wholeText,
                                   int& sequence) {
    std::vector<std::string> out;
    const std::size_t budget = ChunkBudget(sender.size(), broadcast);
    std::array<char, kMaxDatagramSize> buffer{};
    for (std::string_view rest = wholeText; !rest.empty();) {
        const bool continued = rest.size() > budget;
        const std::size_t length = continued ? budget - 1 : rest.size();
        sequence = (sequence + 1) % kSequenceModulus;
        out.emplace_back(buffer.data(),
                         FormatDatagram(buffer.data(), sender, broadcast, sequence, rest.substr(0, length), continued));
        rest.remove_prefix(length);
    }
    return out;
}

// One ping from each of `peers` computers, `rounds` times over.
std::vector<std::string> Pings(int peers, int rounds) {
    std::vector<std::string> out;
    std::vector<int> sequences(peers, 0);
    for (int r = 0; r < rounds; ++r)
        for (int p = 0; p < peers; ++p)
            for (auto& d : Datagrams("Pc" + std::to_string(p), true, "mivletcmd>\tadmin:ping User " + std::to_string(p),
                                     sequences[p]))
                out.push_back(std::move(d));
    return out;
}

std::vector<std::string> LongMessages(int count) {
    std::vector<std::string> out;
    int sequence = 0;
    for (int m = 0; m < count; ++m)
        for (auto& d : Datagrams("Lab2", false, "Kel>\t" + std::string(20480, static_cast<char>('a' + m % 26)), sequence))
            out.push_back(std::move(d));
    return out;
}

// One ping from each of `count` computers that nobody has heard of, with
// names unlike those of Pings.
std::vector<std::string> NewNamePings(int count) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(count));
    int sequence = 0;
    for (int n = 0; n < count; ++n)
        for (auto& d : Datagrams("Forged" + std::to_string(n), true, "mivletcmd>\tadmin:ping x", sequence))
            out.push_back(std::move(d));
    return out;
}

void CountDatagrams(benchmark::State& state, std::size_t perIteration) {
    state.counters["datagrams"] = benchmark::Counter(static_cast<double>(perIteration * state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

void ApplyAll(benchmark::State& state, const std::vector<std::string>& datagrams) {
    std::size_t messages = 0;
    for (auto _ : state) {
        CPartialMessageTable table;
        std::vector<CMessageRecord> records;
        for (const auto& d : datagrams) table.Apply(d.data(), d.size(), 0, 0, records);
        messages += records.size();
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["datagrams"] = benchmark::Counter(static_cast<double>(datagrams.size() * state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["messages"] = benchmark::Counter(static_cast<double>(messages),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ParsePings(benchmark::State& state) {
    ApplyAll(state, Pings(static_cast<int>(state.range(0)), 10));
}
BENCHMARK(BM_ParsePings)->Arg(50)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_ParseLongMessages(benchmark::State& state) {
    const auto datagrams = LongMessages(10);
    state.SetLabel(std::to_string(datagrams.size() / 10) + " datagrams a message");
    ApplyAll(state, datagrams);
}
BENCHMARK(BM_ParseLongMessages)->Unit(benchmark::kMicrosecond);

// The whole drain through the endpoint: mailslot calls on the in-memory
// backend, one buffer per datagram, as Receive does it.
void BM_ReceivePings(benchmark::State& state) {
    const auto datagrams = Pings(50, 1);
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    CMailslot endpoint(host, net, "Office");
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& d : datagrams) host.DeliverRaw(d);
        std::vector<CMessageRecord> records;
        state.ResumeTiming();
        endpoint.Receive(records);
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["datagrams"] = benchmark::Counter(static_cast<double>(datagrams.size() * state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReceivePings)->Unit(benchmark::kMicrosecond);

// The table in its steady state: every sender already has its entry (1000
// computers), or every datagram brings a new key and the idlest entry
// makes room (the table stays full at its limit).
void BM_ApplyPingsKnownSenders(benchmark::State& state) {
    const auto datagrams = Pings(1000, 10);
    CPartialMessageTable table;
    std::vector<CMessageRecord> records;
    for (const auto& d : datagrams) table.Apply(d.data(), d.size(), 0, 0, records);
    for (auto _ : state) {
        records.clear();
        for (const auto& d : datagrams) table.Apply(d.data(), d.size(), 0, 0, records);
        benchmark::DoNotOptimize(records.data());
    }
    CountDatagrams(state, datagrams.size());
}
BENCHMARK(BM_ApplyPingsKnownSenders)->Unit(benchmark::kMicrosecond);

void BM_ApplyPingsNewNames(benchmark::State& state) {
    // Far more names than the table holds, so that each one is new when it
    // comes round again.
    const auto datagrams = NewNamePings(100000);
    CPartialMessageTable table;
    std::vector<CMessageRecord> records;
    std::size_t next = 0;
    constexpr std::size_t kBatch = 1000;
    for (auto _ : state) {
        records.clear();
        for (std::size_t i = 0; i < kBatch; ++i, next = (next + 1) % datagrams.size())
            table.Apply(datagrams[next].data(), datagrams[next].size(), 0, 0, records);
        benchmark::DoNotOptimize(records.data());
    }
    CountDatagrams(state, kBatch);
}
BENCHMARK(BM_ApplyPingsNewNames)->Unit(benchmark::kMicrosecond);

class CBenchHost final : public CSessionHost {
public:
    bool IsAvailable() override { return true; }
    std::string ModulePath() override { return "c:\\program files\\mivlet\\mivlet.exe"; }
    void Exit() override {}
};

// A whole receive step as the chat window and mivlet-peer make it, in
// steps of at most kMaxDatagramsPerStep datagrams, until the mailslot is
// empty: read, joined, dispatched as commands, the peer table renewed. The
// datagrams are put into the in-memory mailslot while the clock stands.
void ReceiveAll(benchmark::State& state, const std::vector<std::string>& datagrams, std::size_t batch,
                std::uint64_t advanceMsPerBatch) {
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    CBenchHost sessionHost;
    const CCodePage1252 sessionCodePage;
    CMessagingSession session(host, net, sessionCodePage, "Office", CBuildInfo{}, sessionHost);
    std::size_t shown = 0;
    const auto show = [&shown](const CMessageRecord&) { ++shown; };
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < batch; ++i, next = (next + 1) % datagrams.size())
            host.DeliverRaw(datagrams[next]);
        net.Advance(advanceMsPerBatch);
        state.ResumeTiming();
        while (session.HasMore()) session.Receive(show);
    }
    benchmark::DoNotOptimize(shown);
    state.counters["peers"] = static_cast<double>(session.PeerTable().Peers().size());
    CountDatagrams(state, batch);
}

// Each computer's pings are numbered on, as a copy numbers them: a ping
// that repeats the number before it would be dropped as a repeat.
void BM_ReceivePingsKnownSenders(benchmark::State& state) {
    ReceiveAll(state, Pings(1000, 2), 1000, 1000);
}
BENCHMARK(BM_ReceivePingsKnownSenders)->Unit(benchmark::kMicrosecond);

// One second passes between batches of 1000, so that the peer table both
// refuses newcomers (it is full of live peers) and, a minute on, hands the
// slots of the silent ones over.
void BM_ReceivePingsNewNames(benchmark::State& state) {
    ReceiveAll(state, NewNamePings(100000), 1000, 1000);
}
BENCHMARK(BM_ReceivePingsNewNames)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

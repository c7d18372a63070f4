// The receive path: parsing and joining datagrams that are already in
// memory, as presence pings (one datagram each) and as 20480-character
// messages (61 datagrams each). Prints time per datagram and per message.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

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

void ApplyAll(benchmark::State& state, const std::vector<std::string>& datagrams) {
    std::size_t messages = 0;
    for (auto _ : state) {
        CPartialMessageTable table;
        std::vector<CMessageRecord> records;
        for (const auto& d : datagrams) table.Apply(d.data(), d.size(), 0, records);
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
    CMailslot endpoint(host, kMailslotName, "Office");
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& d : datagrams) host.DeliverRaw(kMailslotName, d);
        std::vector<CMessageRecord> records;
        state.ResumeTiming();
        endpoint.Receive(records);
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["datagrams"] = benchmark::Counter(static_cast<double>(datagrams.size() * state.iterations()),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReceivePings)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Expanding the default prefix code, as the history does for every line it
// draws (and for every shown line again when the code or a font changes).
// Prints expansions per second.

#include <benchmark/benchmark.h>

#include <string>

#include "chattext/PrefixCode.h"
#include "chattext/TimeZone.h"

namespace {

CMessageRecord Record(bool broadcast) {
    CMessageRecord record;
    record.computer = "Lathe";
    record.user = "Nico Varga";
    record.text = "Hi";
    record.broadcast = broadcast ? 1 : 0;
    record.time = 957800828;
    return record;
}

template <class TimeZone>
void ExpandDefault(benchmark::State& state) {
    const CMessageRecord record = Record(state.range(0) != 0);
    const TimeZone zone;
    for (auto _ : state) {
        std::string prefix = ExpandPrefix(kDefaultPrefixCode, record, zone);
        benchmark::DoNotOptimize(prefix.data());
    }
    state.counters["expansions"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

// The history's own zone goes through the C runtime's localtime.
void BM_ExpandDefaultPrefix(benchmark::State& state) { ExpandDefault<CSystemTimeZone>(state); }
BENCHMARK(BM_ExpandDefaultPrefix)->ArgName("broadcast")->Arg(0)->Arg(1);

// Without the C runtime: the expansion alone.
void BM_ExpandDefaultPrefixFixedZone(benchmark::State& state) { ExpandDefault<CFixedTimeZone>(state); }
BENCHMARK(BM_ExpandDefaultPrefixFixedZone)->ArgName("broadcast")->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();

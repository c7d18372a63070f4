#!/usr/bin/env bash
# Builds the fuzz flavour (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs fuzz targets one after the other at
# the lowest priority, each until it has had SECONDS of CPU time. The machine
# is shared, so the wall time a run takes depends on what else runs; the
# budget in CPU time makes runs comparable. The fuzzers start from the seeds
# in fuzz/corpus/<target> and keep what they find in
# build/fuzz/corpus/<target>; an input that crashes or breaks an invariant
# lands in build/fuzz/artifacts/<target>/. Prints one line per target: runs,
# runs per second of CPU, coverage (edges and features), corpus size, CPU and
# wall seconds, crashes.
#
#   bash scripts/fuzz.sh SECONDS [TARGET...]     (all targets when none given)
set -uo pipefail
source "$(dirname "$0")/lib/common.sh"

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1; shift

fuzz_build=$MIVLET_BUILD/fuzz
mkdir -p "$MIVLET_BUILD"
configure_and_build "$fuzz_build" -DMIVLET_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ || exit 1

targets=("$@")
if ((${#targets[@]} == 0)); then
  for program in "$fuzz_build"/bin/fuzz/fuzz_*; do targets+=("${program##*/fuzz_}"); done
fi

ticks=$(getconf CLK_TCK)
# cpu_ticks PID: user and system time of a process so far, in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null; }
# stat NAME LOG: a figure of libFuzzer's final statistics.
stat() { sed -n "s/^stat::$1: *\([0-9]*\).*/\1/p" "$2" | tail -1; }

status=0
for target in "${targets[@]}"; do
  program=$fuzz_build/bin/fuzz/fuzz_$target
  seeds=$MIVLET_ROOT/fuzz/corpus/$target
  if [[ ! -x $program || ! -d $seeds ]]; then
    echo "$target: no such fuzz target" >&2
    status=1
    continue
  fi
  corpus=$fuzz_build/corpus/$target
  artifacts=$fuzz_build/artifacts/$target
  log=$fuzz_build/logs/$target.log
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  crashesBefore=$(find "$artifacts" -type f | wc -l)

  # The timeout is generous: at the lowest priority a run can wait long
  # for the processor while others build.
  start=$(date +%s)
  nice -n 19 "$program" -print_final_stats=1 -timeout=60 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1 &
  pid=$!
  used=0
  while kill -0 "$pid" 2>/dev/null; do
    used=$(cpu_ticks "$pid") || break
    if ((used >= seconds * ticks)); then
      kill -INT "$pid"
      break
    fi
    sleep 1
  done
  wait "$pid"
  wall=$(($(date +%s) - start))
  cpu=$((used / ticks))

  last=$(grep -E '^#[0-9]+' "$log" | grep ' cov: ' | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  runs=$(stat number_of_executed_units "$log")
  crashes=$(($(find "$artifacts" -type f | wc -l) - crashesBefore))
  echo "$target: runs ${runs:-?}, exec/s $(( ${runs:-0} / (cpu > 0 ? cpu : 1) )) per CPU second," \
       "cov ${cov:-?}, ft ${ft:-?}, corpus ${corp:-?}, cpu ${cpu}s, wall ${wall}s, crashes $crashes"
  # libFuzzer ends an interrupted run with its own exit code; only a crash
  # or a broken invariant leaves an input behind.
  if ((crashes != 0)); then
    grep -E 'invariant broken|runtime error|ERROR: (AddressSanitizer|libFuzzer)|Test unit written' "$log" | head -5
    status=1
  fi
done
exit $status

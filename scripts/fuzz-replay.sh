#!/usr/bin/env bash
# Replays every file of the fuzz corpus (fuzz/corpus/<target>/) through its
# target, built with the host compiler's sanitizers (the asan flavour builds
# the replay programs into bin/fuzz), so that a fault found once stays
# mended. Prints the files and time per target, then
# "fuzz-replay: N passed, N failed" with one file counted per test.
#
#   bash scripts/fuzz-replay.sh [FOLDER OF THE REPLAY PROGRAMS]
set -uo pipefail
source "$(dirname "$0")/lib/common.sh"
bin=${1:-$MIVLET_BUILD/asan/bin/fuzz}

passed=0 failed=0
start=$(date +%s%N)
for corpus in "$MIVLET_ROOT"/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  program=$bin/fuzz_$target
  files=("$corpus"*)
  if [[ ! -x $program ]]; then
    echo "not ok $target: no replay program $program"
    failed=$((failed + ${#files[@]}))
    continue
  fi
  t0=$(date +%s%N)
  if "$program" "${files[@]}" >/dev/null 2>"$MIVLET_BUILD/fuzz-replay-$target.log"; then
    passed=$((passed + ${#files[@]}))
    echo "# $target: ${#files[@]} files in $(( ($(date +%s%N) - t0) / 1000000 )) ms"
    continue
  fi
  # One process per file, to name each one that fails.
  for file in "${files[@]}"; do
    if "$program" "$file" >/dev/null 2>"$MIVLET_BUILD/fuzz-replay-$target.log"; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "not ok $target: ${file#"$MIVLET_ROOT"/}"
      grep -E 'invariant broken|runtime error|ERROR: AddressSanitizer|SUMMARY' "$MIVLET_BUILD/fuzz-replay-$target.log" | head -3
    fi
  done
done
echo "# replay took $(( ($(date +%s%N) - start) / 1000000 )) ms"
echo "fuzz-replay: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# The UDP carrier on a test LAN of two namespaces (needs root):
#  - latency from "mivlet-peer send" on LAB1 to the line "mivlet-peer listen"
#    prints on LAB2, over 1000 messages: median and 99th percentile; and the
#    same from the send of a sender that is already running (lan_flood);
#  - the most datagrams a second one listener takes without loss.
# Build first (bash scripts/test.sh, or the native build).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/lib/common.sh"
source "$here/../tests/e2e/lan.sh"
bin=$MIVLET_BUILD/native/bin
out=$(mktemp -d)
trap 'lan_destroy; rm -rf "$out"' EXIT
reason=$(lan_available) || { echo "lan_bench needs network namespaces: $reason"; exit 1; }
lan_create LAB1 LAB2 || exit 1
messages=${MESSAGES:-1000}

# timed_listener FILE: mivlet-peer listen on LAB2, each line written to FILE
# behind its arrival time from bash's clock, which needs no process per
# line; sets $listener.
timed_listener() {
  lan_spawn LAB2 "$1" bash -c '
    "$0" listen --json --user ann | while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done' "$bin/mivlet-peer"
  listener=$LAN_PID
  sleep 1.5
}

# report_latency LABEL FILE PATTERN: the listener's lines in FILE that match
# PATTERN (a JSON prefix ending in the text's "t=SECONDS"), each behind its
# arrival time; prints the median and 99th percentile of arrival - t.
report_latency() {
  local ms=$out/ms got median p99
  grep -o "^[0-9.]* $3" "$2" | sed 's/^\([0-9.]*\) .*t=\([0-9.]*\)"$/\1 \2/' |
    awk '{ printf "%.3f\n", ($1 - $2) * 1000 }' | sort -n >"$ms"
  got=$(wc -l <"$ms")
  median=$(awk -v n="$got" 'NR == int((n + 1) / 2)' "$ms")
  p99=$(awk -v n="$got" 'NR == int(n * 0.99 + 0.999)' "$ms")
  echo "latency $1: $got of $messages messages, median ${median} ms, 99th percentile ${p99} ms"
}

# Latency.
timed_listener "$out/latency"
lan_exec LAB1 bash -c '
  for i in $(seq "$1"); do "$0" send LAB2 "t=$EPOCHREALTIME" --user kel --wait 0 || exit 1; done' "$bin/mivlet-peer" "$messages"
sleep 1
kill -TERM $(ip netns pids "$(lan_ns LAB2)") 2>/dev/null; wait "$listener" 2>/dev/null
report_latency "send -> listen line" "$out/latency" '{"computer":"Lab1","user":"kel","text":"t=[0-9.]*"'

# The same without the start of a process per message: one lan_flood
# process sends 1000 messages, 100 a second, each with the time just before
# its send; what is left is the wire, the listener's wake-up and its print.
timed_listener "$out/wire"
lan_exec LAB1 "$bin/lan_flood" LAB2 "$messages" 100 46464 >/dev/null
sleep 1
kill -TERM $(ip netns pids "$(lan_ns LAB2)") 2>/dev/null; wait "$listener" 2>/dev/null
report_latency "Send in a running sender -> listen line" "$out/wire" \
  '{"computer":"Flood","user":"flood","text":"n=[0-9]* t=[0-9.]*"'

# Throughput: floods of one-datagram messages at rising rates.
for rate in 1000 2000 4000 8000 16000 32000; do
  count=$((rate * 2))
  lan_spawn LAB2 "$out/flood" "$bin/mivlet-peer" listen --json --user ann
  listener=$LAN_PID
  sleep 1
  result=$(lan_exec LAB1 "$bin/lan_flood" LAB2 "$count" "$rate" 46464)
  sleep 1
  kill -TERM "$listener"; wait "$listener" 2>/dev/null
  received=$(grep -c '"user":"flood"' "$out/flood")
  echo "rate $rate/s: $result; received $received ($((count - received)) lost)"
done

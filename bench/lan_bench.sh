#!/usr/bin/env bash
# The UDP route on a test LAN of two namespaces (needs root):
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

# Latency: the listener's lines get their arrival time from bash's clock,
# which needs no process per line.
lan_spawn LAB2 "$out/latency" bash -c '
  "$0" listen --json --user ann | while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done' "$bin/mivlet-peer"
listener=$LAN_PID
sleep 1.5
lan_exec LAB1 bash -c '
  for i in $(seq "$1"); do "$0" send LAB2 "t=$EPOCHREALTIME" --user kel || exit 1; done' "$bin/mivlet-peer" "$messages"
sleep 1
kill -TERM $(ip netns pids "$(lan_ns LAB2)") 2>/dev/null; wait "$listener" 2>/dev/null
grep -o '^[0-9.]* {"computer":"Lab1","user":"kel","text":"t=[0-9.]*"' "$out/latency" |
  sed 's/^\([0-9.]*\) .*"t=\([0-9.]*\)"$/\1 \2/' |
  awk '{ printf "%.3f\n", ($1 - $2) * 1000 }' | sort -n >"$out/ms"
got=$(wc -l <"$out/ms")
median=$(awk -v n="$got" 'NR == int((n + 1) / 2)' "$out/ms")
p99=$(awk -v n="$got" 'NR == int(n * 0.99 + 0.999)' "$out/ms")
echo "latency send -> listen line: $got of $messages messages, median ${median} ms, 99th percentile ${p99} ms"

# The same without the start of a process per message: one lan_flood
# process sends 1000 messages, 100 a second, each with the time just before
# its send; what is left is the wire, the listener's wake-up and its print.
lan_spawn LAB2 "$out/wire" bash -c '
  "$0" listen --json --user ann | while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done' "$bin/mivlet-peer"
listener=$LAN_PID
sleep 1.5
lan_exec LAB1 "$bin/lan_flood" LAB2 "$messages" 100 46464 >/dev/null
sleep 1
kill -TERM $(ip netns pids "$(lan_ns LAB2)") 2>/dev/null; wait "$listener" 2>/dev/null
grep -o '^[0-9.]* {"computer":"Flood","user":"flood","text":"n=[0-9]* t=[0-9.]*"' "$out/wire" |
  sed 's/^\([0-9.]*\) .*t=\([0-9.]*\)"$/\1 \2/' |
  awk '{ printf "%.3f\n", ($1 - $2) * 1000 }' | sort -n >"$out/ms"
got=$(wc -l <"$out/ms")
median=$(awk -v n="$got" 'NR == int((n + 1) / 2)' "$out/ms")
p99=$(awk -v n="$got" 'NR == int(n * 0.99 + 0.999)' "$out/ms")
echo "latency Send in a running sender -> listen line: $got of $messages messages, median ${median} ms, 99th percentile ${p99} ms"

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

#!/usr/bin/env bash
# Latency of a direct message between two chat windows on a test LAN of two
# namespaces (needs root): Mivlet.exe under Wine on LAB2 (kel) and LAB3
# (ann); chat-remote presses Send! on LAB2 for MESSAGES messages (default
# 1000) to "Lab3  (ann)", and a poller reads LAB3's message log every
# millisecond. Prints the median and 99th percentile from the press to the
# line in the log, once for each value of UdpWakeOnArrival in WAKES
# (default "1 0": read on arrival, then on the 50 ms tick alone), each on a
# test LAN of its own. Build first (bash scripts/test.sh).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/lib/common.sh"
source "$here/../tests/e2e/lan.sh"
messages=${MESSAGES:-1000}
bin=$MIVLET_BUILD/win/bin
mivlet=${MIVLET_EXE:-$bin/Mivlet.exe}
out=$(mktemp -d)
poller=
trap '[[ -n $poller ]] && kill "$poller" 2>/dev/null; lan_destroy; rm -rf "$out"' EXIT
reason=$(lan_available) || { echo "lan_conversation_bench needs network namespaces: $reason"; exit 1; }
run_once() {
  local wake=$1 dir=$out/wake$1
  mkdir -p "$dir"
  lan_create LAB2 LAB3 || exit 1
  LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
  lan_wine_template "$LAN_WINE_TEMPLATE"

  for host_user in LAB2:kel LAB3:ann; do
    host=${host_user%:*} user=${host_user#*:}
    lan_mivlet_setting "$host" "$dir" Username REG_SZ "$user"
    lan_mivlet_setting "$host" "$dir" LogMessages REG_DWORD 1
    lan_mivlet_setting "$host" "$dir" UdpWakeOnArrival REG_DWORD "$wake"
    lan_start_mivlet "$host" "$dir" "$mivlet"
  done
  remote() { local host=$1; shift; lan_wine "$host" "$dir" wine "$bin/chat-remote.exe" "$@"; }
  for _ in $(seq 150); do remote LAB2 to 2>/dev/null | grep -q 'Lab3  (ann)' && break; sleep 0.2; done
  remote LAB2 select "Lab3  (ann)" || { echo "Lab3 never reached LAB2's To: list"; exit 1; }

  # The poller: the log's new bytes every millisecond, the time each
  # "> bench N" line is first seen.
  log=$(lan_prefix LAB3 "$dir")/drive_c/windows/mivlet.log
python3 -u - "$log" >"$dir/seen" <<'PY' &
import os, re, sys, time
path, offset, pending = sys.argv[1], 0, b""
pattern = re.compile(rb"> bench (\d+)\r?$")
while True:
    try:
        with open(path, "rb") as log:
            log.seek(offset)
            data = log.read()
    except FileNotFoundError:
        data = b""
    if data:
        now = time.time()
        offset += len(data)
        *lines, pending = (pending + data).split(b"\n")
        for line in lines:
            found = pattern.search(line)
            if found:
                print(found.group(1).decode(), "%.6f" % now)
    time.sleep(0.001)
PY
  poller=$!

  for i in $(seq "$messages"); do
    echo "$i $(remote LAB2 send "bench $i" --time)"
  done >"$dir/pressed"
  sleep 1
  join <(sort -k1,1 "$dir/pressed") <(sort -k1,1 "$dir/seen") |
    awk '{ printf "%.3f\n", ($3 - $2) * 1000 }' | sort -n >"$dir/ms"
  got=$(wc -l <"$dir/ms")
  median=$(awk -v n="$got" 'NR == int((n + 1) / 2)' "$dir/ms")
  p99=$(awk -v n="$got" 'NR == int(n * 0.99 + 0.999)' "$dir/ms")
  echo "UdpWakeOnArrival $wake: latency Send! on LAB2 -> line in LAB3's log: $got of $messages messages, median ${median} ms, 99th percentile ${p99} ms"
  kill "$poller" 2>/dev/null; poller=
  lan_destroy
}

for wake in ${WAKES:-1 0}; do run_once "$wake"; done

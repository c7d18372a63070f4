#!/usr/bin/env bash
# A flood at one chat window on a test LAN of three namespaces (needs root):
# Mivlet.exe under Wine on LAB2; lan_flood on LAB1 sends RATE datagrams a
# second (default 20000) for SECONDS_OF_FLOOD (default 60): pings from names
# never used before, chat lines, and continued chunks of 1000 messages that
# never end. chat_probe, in LAB2's Wine session, asks the window every 100 ms
# whether it is Mivlet and reads its memory. After the flood mivlet-peer on
# LAB3 sends a message of three datagrams a second after it, and another once
# the window has read its socket's backlog; chat-remote reads the history
# until each shows whole. A third host, LAB4, sends a message a second
# during the flood and one the moment it ends, each stamped with its time;
# a poller reads LAB2's message log every millisecond. Prints the window's
# reply times and memory before, during and after the flood, and how long
# each message took to show. MIVLET_BUILD chooses the build, so that two
# builds can be compared in one run.
# WAKE=0 runs the window with UdpWakeOnArrival 0 (the 50 ms tick).
# Build first (bash scripts/test.sh).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/lib/common.sh"
source "$here/../tests/e2e/lan.sh"
rate=${RATE:-20000}
seconds=${SECONDS_OF_FLOOD:-60}
before=5 after=15
native=$MIVLET_BUILD/native/bin
bin=$MIVLET_BUILD/win/bin
out=$(mktemp -d)
poller=
trap '[[ -n $poller ]] && kill "$poller" 2>/dev/null; lan_destroy; rm -rf "$out"' EXIT
reason=$(lan_available) || { echo "lan_flood_bench needs network namespaces: $reason"; exit 1; }
lan_create LAB1 LAB2 LAB3 LAB4 || exit 1
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE"

lan_mivlet_setting LAB2 "$out" Username REG_SZ kel
lan_mivlet_setting LAB2 "$out" UdpWakeOnArrival REG_DWORD "${WAKE:-1}"
lan_mivlet_setting LAB2 "$out" LogMessages REG_DWORD 1
lan_start_mivlet LAB2 "$out" "$bin/Mivlet.exe"
remote() { lan_wine LAB2 "$out" wine "$bin/chat-remote.exe" "$@"; }
for _ in $(seq 150); do remote to >/dev/null 2>&1 && break; sleep 0.2; done
remote to >/dev/null 2>&1 || { echo "the chat window did not come up"; exit 1; }
mivlet_pid() {
  local pid
  for pid in $(ip netns pids "$(lan_ns LAB2)"); do
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q 'Mivlet\.exe' && { echo "$pid"; return; }
  done
}
pid=$(mivlet_pid)
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }

total=$((before + seconds + after))
_lan_wine_env LAB2 "$out"  # the display, outside the background job
lan_spawn LAB2 "$out/probe" "${LAN_WINE_ENV[@]}" wine "$bin/chat_probe.exe" "$total"
probe=$LAN_PID
sleep "$before"
echo "VmRSS of Mivlet.exe before the flood: $(rss) KiB"
python3 "$here/../tests/e2e/log_poller.py" '> (during|at-end) (\d+\.\d+)' \
  "$(lan_prefix LAB2 "$out")/drive_c/windows/mivlet.log" >"$out/seen" &
poller=$!
flood_start=$(date +%s.%N)
lan_exec LAB1 "$native/lan_flood" --mix LAB2 $((rate * seconds)) "$rate" 46464 >"$out/flood" &
flooder=$!
peak=0 during_sent=0
while kill -0 "$flooder" 2>/dev/null; do
  now=$(rss); [[ -n $now && $now -gt $peak ]] && peak=$now
  lan_exec LAB4 bash -c 'exec "$0" send LAB2 "during $EPOCHREALTIME" --user eve --wait 0' "$native/mivlet-peer" &&
    during_sent=$((during_sent + 1))
  sleep 1
done
lan_exec LAB4 bash -c 'exec "$0" send LAB2 "at-end $EPOCHREALTIME" --user eve --wait 0' "$native/mivlet-peer"
flood_end=$(date +%s.%N)
echo "lan_flood: $(cat "$out/flood")"
echo "VmRSS of Mivlet.exe during the flood: at most $peak KiB; at its end $(rss) KiB"

# Real messages after the flood, shown whole in the history: one a second
# after it, and one once the socket's backlog has been read (the window
# then has at most its carrier's queue left).
backlog() { ip netns exec "$(lan_ns LAB2)" ss -uanH 'sport = :46464' | awk '{ print $2; exit }'; }
send_and_watch() {  # send_and_watch LABEL: sends, then reads the history until the text shows
  local label=$1 text sent shown=
  text="$label $(head -c 800 /dev/zero | tr '\0' 'w') end"
  sent=$(date +%s%N)
  lan_exec LAB3 "$native/mivlet-peer" send LAB2 "$text" --user ann --wait 0
  for _ in $(seq 60); do
    if remote history 2>/dev/null | grep -qF -- "$text"; then shown=$(date +%s%N); break; fi
  done
  if [[ -n $shown ]]; then
    echo "$label: a message of ${#text} characters is shown whole $(((shown - sent) / 1000000)) ms after its send began"
  else
    echo "$label: the message was NOT shown whole; the history ends:"
    remote history 2>/dev/null | tail -2 | cut -c1-100
  fi
}
sleep 1
echo "socket backlog a second after the flood: $(backlog) bytes"
send_and_watch "one second after the flood"
for _ in $(seq 600); do [[ $(backlog) == 0 ]] && break; sleep 0.1; done
echo "the socket's backlog was read $(awk -v s="$flood_end" -v n="$(date +%s.%N)" 'BEGIN { printf "%.1f", n - s }') s after the flood"
send_and_watch "once the backlog was read"
wait "$probe" 2>/dev/null
echo "VmRSS of Mivlet.exe ${after} s after the flood: $(rss) KiB"
kill "$poller" 2>/dev/null; wait "$poller" 2>/dev/null; poller=
stats() { sort -n | awk '{ v[NR] = $1 } END { if (!NR) { print "none"; exit } printf "p50 %.1f ms, p99 %.1f ms, max %.1f ms", v[int((NR + 1) / 2)], v[int(NR * 0.99 + 0.999)], v[NR] }'; }
echo "LAB4, a message a second during the flood: $(grep -c '^0 during ' "$out/seen") of $during_sent shown, $(awk '$2 == "during" { print $3 }' "$out/seen" | stats)"
echo "LAB4, a message the moment the flood ended: $(awk '$2 == "at-end" { print "shown " $3 " ms after its send" }' "$out/seen" | grep . || echo "NOT shown")"

# The probe's lines: time, reply ms, answered, working set KiB, private KiB.
awk -v start="$flood_start" -v end="$flood_end" '
  function report(name, n, values, answered, ws, pv,   i, j, t, p50, p99, max) {
    for (i = 2; i <= n; i++) { t = values[i]; for (j = i - 1; j >= 1 && values[j] > t; j--) values[j + 1] = values[j]; values[j + 1] = t }
    if (n == 0) { printf "%-7s no probes\n", name; return }
    p50 = values[int((n + 1) / 2)]; p99 = values[int(n * 0.99 + 0.999)]; max = values[n]
    printf "%-7s %4d probes, %d unanswered: reply p50 %.1f ms, p99 %.1f ms, max %.1f ms; working set %d KiB, private %d KiB (last)\n",
      name, n, n - answered, p50, p99, max, ws, pv
  }
  $1 < start { nb++; b[nb] = $2; ab += $3; wsb = $4; pvb = $5; next }
  $1 <= end  { nd++; d[nd] = $2; ad += $3; wsd = $4 > wsd ? $4 : wsd; pvd = $5 > pvd ? $5 : pvd; next }
             { na++; a[na] = $2; aa += $3; wsa = $4; pva = $5 }
  END {
    report("before", nb, b, ab, wsb, pvb)
    report("during", nd, d, ad, wsd, pvd)
    print "        (during: memory is the highest seen)"
    report("after", na, a, aa, wsa, pva)
  }' "$out/probe"
kill -0 "$(mivlet_pid)" 2>/dev/null && echo "Mivlet.exe is still running" || echo "Mivlet.exe has ENDED"

#!/usr/bin/env bash
# End to end on a test LAN of three hosts: mivlet-peer on each, talking over
# the UDP carrier. Needs root; without it the test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=e2e
source "$here/checks.sh"

peer=${MIVLET_PEER:-$MIVLET_BUILD/native/bin/mivlet-peer}
e2e_begin_lan LAB1 LAB2 LAB3

users=(kel ann bob)
hosts=(LAB1 LAB2 LAB3)

count_lines() { grep -c -- "$2" "$1" 2>/dev/null || true; }

# --- who: with the other two running, each host lists them, never itself.
for i in 0 1 2; do
  others=()
  expected=""
  for j in 0 1 2; do
    [[ $i -eq $j ]] && continue
    lan_spawn "${hosts[$j]}" /dev/null "$peer" listen --user "${users[$j]}"
    others+=("$LAN_PID")
    expected+="$(printf 'Lab%d  (%s)' $((j + 1)) "${users[$j]}")"$'\n'
  done
  sleep 0.5
  lan_exec "${hosts[$i]}" "$peer" who --wait 2 --user "${users[$i]}" >"$out/who-${hosts[$i]}" 2>&1
  if [[ $i -eq 0 ]]; then
    lan_exec LAB1 "$peer" version '*' --wait 1.5 >"$out/version" 2>&1
    check "a version request to all brings one reply from every copy, its own included" equals \
      "$(grep -c '^Lab[123]: The build date is ' "$out/version")" 3
  fi
  kill -TERM "${others[@]}"; wait "${others[@]}"
  check "who on ${hosts[$i]} lists the other two" equals "$(sort "$out/who-${hosts[$i]}")" "$(printf '%s' "$expected" | sort)"
done

# --- messages between listeners.
listeners=()
for i in 0 1 2; do
  lan_spawn "${hosts[$i]}" "$out/listen-${hosts[$i]}" "$peer" listen --json --user "${users[$i]}"
  listeners+=("$LAN_PID")
done
sleep 1.5
lan_exec LAB1 "$peer" send '*' "hello all" --user kel
check "broadcast is sent" equals $? 0
lan_exec LAB1 "$peer" send LAB2 "just for lab2" --user kel
check "direct message is sent" equals $? 0
long=$(head -c 20480 /dev/zero | tr '\0' 'x')
lan_exec LAB1 "$peer" send LAB2 "$long" --user kel
check "20480-character message is sent" equals $? 0
lan_exec LAB2 "$peer" send lab1 "answer from lab2" --user ann
check "direct reply is sent" equals $? 0
# Sends started back to back, each a process of its own, a millisecond or
# less apart: none may look like a repeat of the one before.
lan_exec LAB3 bash -c 'for i in $(seq 300); do "$0" send LAB2 "burst $i" --user bob || exit 1; done' "$peer" >/dev/null
check "300 sends back to back are sent" equals $? 0
lan_exec LAB3 "$peer" send NOSUCHHOST "hi" >/dev/null 2>&1
check "an unresolvable target fails with its own exit code" equals $? 4
lan_exec LAB3 timeout 5 "$peer" listen >/dev/null 2>&1
check "a second receiver on one host finds the port in use" equals $? 3

# --- send waits for its receipt. LAB1's listener holds the port there, so
# the receipt must come back to the port the send itself sent from.
lan_exec LAB1 "$peer" send LAB2 "confirm this" --user kel --wait 3 >"$out/receipt" 2>&1
check "send --wait to a listener that confirms exits 0" equals $? 0
check "and says that the receipt came" grep -q '^receipt from LAB2: the message arrived' "$out/receipt"
lan_exec LAB1 "$peer" send LAB2 "confirm in json" --user kel --json >"$out/receipt-json" 2>&1
check "with --json the object says that the receipt came" grep -q '"awaited":true,"receipt":true' "$out/receipt-json"
lan_exec LAB1 "$peer" send '*' "no receipt for all" --user kel --json >"$out/receipt-all" 2>&1
check "a message to all users waits for none and exits 0" equals "$?:$(cat "$out/receipt-all")" \
  '0:{"sent":true,"awaited":false,"receipt":false,"waited_ms":0}'
# A stopped receiver is still listed everywhere, and confirms nothing.
kill -STOP "${listeners[2]}"
began=$(date +%s%3N)
lan_exec LAB1 "$peer" send LAB3 "are you there" --user kel --wait 1.5 >"$out/no-receipt" 2>&1
code=$?
took=$(( $(date +%s%3N) - began ))
kill -CONT "${listeners[2]}"
echo "# send --wait 1.5 to a stopped receiver ended after $took ms"
check "send --wait to a stopped receiver exits 7" equals "$code" 7
check "after the wait, not much later" test "$took" -ge 1500 -a "$took" -lt 3500
check "and says that no receipt came" grep -q '^sent, but no receipt from LAB3 within 1.5 s$' "$out/no-receipt"
sleep 1.5
kill -TERM "${listeners[@]}" 2>/dev/null
wait "${listeners[@]}"

for h in LAB1 LAB2 LAB3; do
  check "broadcast reached $h once" equals "$(count_lines "$out/listen-$h" '"text":"hello all","broadcast":true')" 1
done
check "direct message reached LAB2" equals "$(count_lines "$out/listen-LAB2" '"text":"just for lab2"')" 1
check "direct message reached only LAB2" equals "$(cat "$out/listen-LAB1" "$out/listen-LAB3" | grep -c 'just for lab2')" 0
check "20480 characters arrived whole" equals "$(count_lines "$out/listen-LAB2" "\"text\":\"$long\",\"broadcast\":false")" 1
check "300 sends back to back all arrive" equals "$(count_lines "$out/listen-LAB2" '"user":"bob","text":"burst ')" 300
check "reply reached LAB1 from Lab2 as ann" equals \
  "$(count_lines "$out/listen-LAB1" '{"computer":"Lab2","user":"ann","text":"answer from lab2","broadcast":false')" 1

# --- leaving: an exit notice at once, a killed peer some 15 seconds after its last ping.
watchers=()
for h in LAB2 LAB3; do
  lan_spawn "$h" "$out/watch-$h" "$peer" who --watch --user "w$h"
  watchers+=("$LAN_PID")
done
lan_spawn LAB1 /dev/null "$peer" listen --user kel
first=$LAN_PID
sleep 2.5
kill -TERM "$first"; wait "$first"
left=$(date +%s%3N)
sleep 1.5
for h in LAB2 LAB3; do
  gone=$(grep ' - Lab1  (kel)' "$out/watch-$h" | tail -1 | cut -d' ' -f1)
  check "exit notice removes Lab1 from $h at once" test -n "$gone" -a "$(( ${gone:-0} - left ))" -lt 1200
done

lan_spawn LAB1 /dev/null "$peer" listen --user kel
second=$LAN_PID
sleep 2.5
# The last ping left up to a second before the kill, and peers keep the
# time they last heard of one in whole seconds: alive while under 15 s have
# passed, so it leaves 14 to 16 s after its last ping, 13 to 16 after the kill.
{ kill -9 "$second"; wait "$second"; } 2>/dev/null
killed=$(date +%s%3N)
sleep 18
for h in LAB2 LAB3; do
  gone=$(grep ' - Lab1  (kel)' "$out/watch-$h" | tail -1 | cut -d' ' -f1)
  after=$(( ${gone:-0} - killed ))
  echo "# $h dropped the killed peer after $after ms"
  check "a killed peer leaves $h's list 13 to 16 seconds after the kill" test "$after" -ge 13000 -a "$after" -le 16500
done
kill -TERM "${watchers[@]}" 2>/dev/null
wait "${watchers[@]}"

# --- a lost chunk: LAB1 forges a message to all users from a computer Lab9
# with its last chunk left out, then Lab9's next ping; and a text that
# begins with "Admin:" but names no command.
lan_spawn LAB2 "$out/listen-lost" "$peer" listen --json --user ann
lost_listener=$LAN_PID
lan_spawn LAB3 "$out/watch-lost" "$peer" who --watch --user bob
lost_watcher=$LAN_PID
sleep 1.5
lan_exec LAB1 python3 - LAB2 LAB3 <<'FORGE'
import socket, sys
def datagram(sequence, chunk, continued):
    return b"Lab9*\0%05d\0" % sequence + chunk + (b"\0\0" if continued else b"\0")
sent = [datagram(11, b"eve>\tone ", True), datagram(12, b"two ", True),
        datagram(14, b"mivletcmd>\tadmin:ping eve", False)]  # 13, the last chunk, lost
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for host in sys.argv[1:]:
    for d in sent:
        udp.sendto(d, (host, 46464))
FORGE
lan_exec LAB1 "$peer" send LAB2 "Admin: hello" --user kel
check "a text after \"Admin:\" that is no command is sent" equals $? 0
sleep 1
kill -TERM "$lost_listener" "$lost_watcher"; wait "$lost_listener" "$lost_watcher" 2>/dev/null
check "what arrived of the message shows, with the marker where its end is missing" equals \
  "$(count_lines "$out/listen-lost" '{"computer":"Lab9","user":"eve","text":"one two \[part of this message did not arrive\]","broadcast":true')" 1
check "the ping after the gap is not joined to the message" equals "$(count_lines "$out/listen-lost" 'admin:ping')" 0
check "the ping after the gap keeps the sender listed" grep -q ' + Lab9  (eve)' "$out/watch-lost"
check "\"Admin: hello\" arrives as a message" equals \
  "$(count_lines "$out/listen-lost" '{"computer":"Lab1","user":"kel","text":"Admin: hello","broadcast":false')" 1

# --- an older-style peer on LAB3: it holds the port and pings, but knows
# no receipts and never confirms.
read -r -d '' older_copy <<'OLDER'
import socket, time
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
udp.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
udp.bind(("", 46464))
udp.settimeout(0.2)
sequence = 0
while True:
    sequence += 1
    udp.sendto(b"Lab3*\0%05d\0mivletcmd>\tadmin:ping old\0" % sequence, ("10.77.0.255", 46464))
    try:
        while True:
            udp.recv(512)  # read and drop, as an older copy drops an unknown verb
    except socket.timeout:
        pass
OLDER
lan_spawn LAB3 /dev/null python3 -c "$older_copy"
older=$LAN_PID
sleep 1
began=$(date +%s%3N)
lan_exec LAB1 "$peer" send LAB3 "hello old friend" --user kel --wait 1 >/dev/null 2>&1
code=$?
took=$(( $(date +%s%3N) - began ))
check "send --wait to an older-style peer exits 7 within about the wait ($took ms)" \
  test "$code" -eq 7 -a "$took" -ge 1000 -a "$took" -lt 3000
lan_exec LAB1 "$peer" send LAB3 "no wait" --user kel --wait 0 >/dev/null 2>&1
check "with --wait 0 it exits 0 as before" equals $? 0
kill -TERM "$older"; wait "$older" 2>/dev/null

# --- Mivlet.exe under Wine on a host, with the UDP carrier.
if [[ -x $MIVLET_BUILD/win/bin/Mivlet.exe ]]; then
  lan_start_mivlet LAB3 "$out"
  mivlet=$LAN_PID
  taken=1
  for _ in $(seq 60); do  # a new Wine prefix takes a while
    lan_exec LAB3 timeout 3 "$peer" who --wait 0 >/dev/null 2>&1
    taken=$?
    [[ $taken -eq 3 ]] && break
    sleep 0.5
  done
  check "Mivlet.exe holds the UDP port on its host" equals "$taken" 3
  check "Mivlet.exe keeps running with the UDP carrier" kill -0 "$mivlet"
  lan_exec LAB1 "$peer" send LAB3 "to the program" --user kel --wait 5 >"$out/to-program" 2>&1
  check "a peer sends to Mivlet.exe by its computer name, and its receipt comes" equals \
    "$?:$(cut -d: -f1 "$out/to-program")" "0:receipt from LAB3"

  # The Windows build of mivlet-peer, under Wine beside Mivlet.exe.
  lan_spawn LAB1 "$out/from-windows" "$peer" listen --json --user kel
  listener=$LAN_PID
  sleep 1
  lan_exec LAB3 env WINEPREFIX="$out/wine-LAB3" WINEDEBUG=-all \
    wine "$MIVLET_BUILD/win/bin/mivlet-peer.exe" send LAB1 "from windows" --user bob --wait 5 >/dev/null 2>&1
  check "mivlet-peer.exe under Wine, beside Mivlet.exe, sends by unicast and hears its receipt" equals $? 0
  sleep 0.5
  kill -TERM "$listener"; wait "$listener" 2>/dev/null
  check "its message arrives as from Lab3" equals \
    "$(count_lines "$out/from-windows" '{"computer":"Lab3","user":"bob","text":"from windows"')" 1

  # The program's presence ping, and its exit notice when WM_CLOSE reaches
  # its window from outside (taskkill without /F sends WM_CLOSE).
  lan_spawn LAB1 "$out/watch-mivlet" "$peer" who --watch --user kel
  watcher=$LAN_PID
  sleep 2.5
  check "Mivlet.exe announces itself with the presence ping" grep -q ' + Lab3  (' "$out/watch-mivlet"
  lan_exec LAB3 env WINEPREFIX="$out/wine-LAB3" WINEDEBUG=-all wine taskkill /IM Mivlet.exe >/dev/null 2>&1
  closed=$(date +%s%3N)
  for _ in $(seq 100); do kill -0 "$mivlet" 2>/dev/null || break; sleep 0.1; done
  check "Mivlet.exe ends when WM_CLOSE reaches its window" bash -c "! kill -0 $mivlet 2>/dev/null"
  sleep 1
  kill -TERM "$watcher"; wait "$watcher" 2>/dev/null
  gone=$(grep ' - Lab3  (' "$out/watch-mivlet" | tail -1 | cut -d' ' -f1)
  # "At once" against the 15 s of silence it would take without the notice;
  # Wine on a loaded machine may take a few seconds to end the program.
  check "its exit notice removes Lab3 from the list at once" test -n "$gone" -a "$(( ${gone:-0} - closed ))" -lt 5000
else
  echo "# no Windows build: Mivlet.exe not tried"
fi

[[ $failed -eq 0 ]]

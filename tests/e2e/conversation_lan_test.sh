#!/usr/bin/env bash
# A conversation end to end on a test LAN: mivlet-peer on LAB1 (bob),
# Mivlet.exe under Wine on LAB2 (kel) and LAB3 (ann), each chat window
# driven from outside by chat-remote: the To: lists, Send! to all users and
# to one computer, what the message logs and the peer receive, receipts and
# the report of a message a stopped receiver left unconfirmed, and the exit
# notice. Needs root; without it the test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=lan-conversation
source "$here/checks.sh"

peer=${MIVLET_PEER:-$MIVLET_BUILD/native/bin/mivlet-peer}
mivlet=${MIVLET_EXE:-$MIVLET_BUILD/win/bin/Mivlet.exe}
remote_exe=$MIVLET_BUILD/win/bin/chat-remote.exe

e2e_skip_without_lan
e2e_require_built "$peer" "$mivlet" "$remote_exe"
e2e_begin_lan LAB1 LAB2 LAB3
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE" || echo "# no prefix template: each prefix makes its own first start"


remote() { local host=$1; shift; lan_wine "$host" "$out" wine "$remote_exe" "$@"; }

# The To: entries of HOST, one a line without the selection mark; every
# sample is kept, for the check that a list never shows its own computer.
to_list() { remote "$1" to | tee -a "$out/to-samples-$1" | cut -c3-; }
to_has() { to_list "$1" | grep -qxF -- "$2"; }
to_lacks() { local list; list=$(to_list "$1") && ! grep -qxF -- "$2" <<<"$list"; }

# TEXT as an extended regular expression that matches only itself.
literal() { sed 's/[][\.*^$?+(){}|/]/\\&/g' <<<"$1"; }
log_lines() { tr -d '\r' 2>/dev/null <"$(lan_prefix "$1" "$out")/drive_c/windows/mivlet.log"; }
log_count() { log_lines "$1" | grep -cxE -- "$2"; }
log_has() { [[ $(log_count "$1" "$2") -ge 1 ]]; }
listened() { grep -cF -- "$1" "$out/listen-LAB1"; }
heard() { [[ $(listened "$1") -ge 1 ]]; }

# The prefix's time, as H:MM without a leading zero, is the minute of the
# send or the next one.
minutes() { date +%-H:%M; }
either_minute() { printf '(%s|%s)' "$1" "$(minutes)"; }

declare -A mivlet_pid=()
lan_spawn LAB1 "$out/listen-LAB1" "$peer" listen --json --user bob
listen_pid=$LAN_PID
for host_user in LAB2:kel LAB3:ann; do
  host=${host_user%:*} user=${host_user#*:}
  lan_mivlet_setting "$host" "$out" Username REG_SZ "$user"
  lan_mivlet_setting "$host" "$out" LogMessages REG_DWORD 1
  lan_mivlet_setting "$host" "$out" PromptOnAllUsers REG_DWORD 0
  lan_start_mivlet "$host" "$out" "$mivlet"
  mivlet_pid[$host]=$LAN_PID
done
window_found() { remote "$1" to >/dev/null 2>&1; }
for host in LAB2 LAB3; do
  check "chat-remote finds the chat window on $host" wait_until 60 window_found "$host"
done

# --- the To: lists fill from the presence pings.
check "LAB2's To: list shows Lab3 as ann" wait_until 5 to_has LAB2 "Lab3  (ann)"
check "LAB2's To: list shows Lab1 as bob" wait_until 5 to_has LAB2 "Lab1  (bob)"
check "LAB3's To: list shows Lab2 as kel" wait_until 5 to_has LAB3 "Lab2  (kel)"
check "LAB2's To: list keeps \"(All Users)\" selected" equals "$(remote LAB2 to | grep '^\* ')" "* (All Users)"

# --- Send! to all users on LAB2.
text="Morning all, stand-up in five minutes"
minute=$(minutes)
remote LAB2 send "$text" --to "(All Users)"
check "Send! to all users returns once sent" equals $? 0
line="kel \\(to all users\\) $(either_minute "$minute")> $(literal "$text")"
check "the message to all reaches LAB3's log as from kel to all users" wait_until 5 log_has LAB3 "$line"
check "it reaches mivlet-peer on LAB1 as a broadcast from Lab2" wait_until 5 heard \
  "{\"computer\":\"Lab2\",\"user\":\"kel\",\"text\":\"$text\",\"broadcast\":true"
check "it comes back to LAB2's own log" wait_until 5 log_has LAB2 "$line"
sleep 1  # a doubled copy would have come by now
check "LAB2's own log has it once" equals "$(log_count LAB2 "$line")" 1
check "LAB3's log has it once" equals "$(log_count LAB3 "$line")" 1
check "LAB2's history shows it once" equals "$(remote LAB2 history | grep -cF -- "$text")" 1

# --- a direct message from LAB3 to kel on Lab2.
text="Kel, can you review my change before lunch?"
minute=$(minutes)
remote LAB3 send "$text" --to "Lab2  (kel)"
check "Send! to one computer returns once sent" equals $? 0
line="ann $(either_minute "$minute")> $(literal "$text")"
check "the direct message reaches LAB2's log from ann" wait_until 5 log_has LAB2 "$line"
check "the sender's own log shows it too" wait_until 5 log_has LAB3 "$line"
sleep 1
check "the direct message reaches LAB2 once" equals "$(log_count LAB2 "$line")" 1
check "the sender's own log shows it once" equals "$(log_count LAB3 "$line")" 1
check "mivlet-peer on LAB1 does not receive the direct message" equals "$(listened "$text")" 0
check "LAB3's To: list keeps the addressee selected" equals "$(remote LAB3 to | grep '^\* ')" "* Lab2  (kel)"

# --- receipts. LAB2 confirmed that message, so LAB3 knows it as a copy that
# confirms; stopped (SIGSTOP: still listed, reading nothing), it leaves the
# next one unconfirmed and LAB3's history and log say so after 3 s. The same
# for mivlet-peer listen on LAB1, which confirms through its session too.
# receipt_round HOST ENTRY PID: ENTRY is HOST's line in LAB3's To: list.
receipt_round() {
  local computer=$1 entry=$2 pid=$3
  local report="$computer did not confirm that your message arrived."
  reported() { remote LAB3 history | grep -qxF -- "$report"; }
  not_reported() { ! reported; }
  remote LAB3 send "a question for $computer" --to "$entry"
  sleep 3.5
  check "LAB3 does not report the message $computer confirmed" not_reported
  kill -STOP "$pid"
  remote LAB3 send "still there, $computer?" --to "$entry"
  local sent; sent=$(now_ms)
  check "LAB3 reports the message the stopped $computer did not confirm" wait_until 10 reported
  local waited=$(($(now_ms) - sent))
  echo "# reported ${waited} ms after the send"
  check "the report came after the 3 s wait for the receipt" test "$waited" -ge 2800
  check "LAB3's log has the report" wait_until 3 log_has LAB3 "$(literal "$report")"
  check "LAB3's To: list still shows $entry" to_has LAB3 "$entry"
  kill -CONT "$pid"
}
receipt_round Lab2 "Lab2  (kel)" "${mivlet_pid[LAB2]}"
echo "# LAB2's stopped process: $(cat /proc/${mivlet_pid[LAB2]}/comm 2>/dev/null)"
receipt_round Lab1 "Lab1  (bob)" "$listen_pid"
check "mivlet-peer on LAB1 showed the message it confirmed" heard "a question for Lab1"

# --- from mivlet-peer to a chat window.
text="bob here, the build is green"
minute=$(minutes)
lan_exec LAB1 "$peer" send LAB2 "$text" --user bob
check "mivlet-peer sends to LAB2" equals $? 0
line="bob $(either_minute "$minute")> $(literal "$text")"
history_has() { remote LAB2 history | grep -qxE -- "$line"; }
check "LAB2's history shows the peer's message from bob" wait_until 5 history_has
check "LAB2's log has it" wait_until 5 log_has LAB2 "$line"

# --- a direct message whose last chunk was lost (forged from LAB1): LAB2's
# window shows what arrived, with the marker at its end, once it has waited
# 5 s for the rest.
lan_exec LAB1 python3 - LAB2 <<'FORGE'
import socket, sys
def datagram(sequence, chunk, continued):
    return b"Lab1\0%05d\0" % sequence + chunk + (b"\0\0" if continued else b"\0")
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for d in (datagram(70001, b"bob>\tthe first half ", True), datagram(70002, b"and the second", True)):
    udp.sendto(d, (sys.argv[1], 46464))
FORGE
sent=$(now_ms)
cut_shown() { remote LAB2 history | grep -qF -- "> the first half and the second[part of this message did not arrive]"; }
check "LAB2 shows what arrived of a message with a lost end, with the marker" wait_until 10 cut_shown
waited=$(($(now_ms) - sent))
echo "# shown ${waited} ms after the forged chunks were sent"
check "it was shown after the 5 s wait for its next chunk" test "$waited" -ge 4500

# --- leaving: the exit notice takes LAB3 off LAB2's list at once.
check "LAB2's To: list shows Lab3 before the close" to_has LAB2 "Lab3  (ann)"
lan_wine LAB3 "$out" wine taskkill /IM Mivlet.exe >/dev/null 2>&1
closed=$(now_ms)
check "LAB2's To: list loses Lab3 when LAB3's Mivlet ends" wait_until 5 to_lacks LAB2 "Lab3  (ann)"
gone=$(($(now_ms) - closed))
ended() { ! kill -0 "${mivlet_pid[LAB3]}" 2>/dev/null; }
check "LAB3's Mivlet ends on WM_CLOSE" wait_until 10 ended
echo "# Lab3 left LAB2's To: list ${gone} ms after the close"
check "it goes within 2 seconds of the close, long before the 15-second silence" test "$gone" -lt 2000
check "LAB2's To: list still shows Lab1" to_has LAB2 "Lab1  (bob)"

check "LAB2's To: list never showed Lab2 itself" equals "$(grep -c 'Lab2' "$out/to-samples-LAB2")" 0
check "LAB3's To: list never showed Lab3 itself" equals "$(grep -c 'Lab3' "$out/to-samples-LAB3")" 0

[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# A message of 20,480 characters between two chat windows on a test LAN of
# two namespaces (needs root): Mivlet.exe under Wine on LAB2 (kel) and LAB3
# (ann). chat-remote presses Send! on LAB2 for MESSAGES messages (default
# 10) of LENGTH characters (default 20,480) to "Lab3  (ann)", each stamped with the time of the press; chat_probe,
# in LAB2's Wine session, asks LAB2's window every 20 ms whether it is
# Mivlet; a poller reads LAB3's message log every millisecond. Prints how
# long chat-remote took, the window's answers while the text went into the
# message box and from the press of Send! to its end, and the time from the
# press to the whole message in LAB3's log.
# MIVLET_BUILD chooses the build, so that two builds can be compared in one
# run. Build first (bash scripts/test.sh).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scripts/lib/common.sh"
source "$here/../tests/e2e/lan.sh"
messages=${MESSAGES:-10}
length=${LENGTH:-20480}
# What the text is made of: one letter over and over (the default) or words,
# such as FILLER="lorem ipsum ", which the history wraps at their spaces.
filler=${FILLER:-l}
bin=$MIVLET_BUILD/win/bin
out=$(mktemp -d)
poller=
trap '[[ -n $poller ]] && kill "$poller" 2>/dev/null; lan_destroy; rm -rf "$out"' EXIT
reason=$(lan_available) || { echo "lan_long_message_bench needs network namespaces: $reason"; exit 1; }
lan_create LAB2 LAB3 || exit 1
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE"
for host_user in LAB2:kel LAB3:ann; do
  host=${host_user%:*} user=${host_user#*:}
  lan_mivlet_setting "$host" "$out" Username REG_SZ "$user"
  lan_mivlet_setting "$host" "$out" LogMessages REG_DWORD 1
  lan_start_mivlet "$host" "$out" "$bin/Mivlet.exe"
done
remote() { local host=$1; shift; lan_wine "$host" "$out" wine "$bin/chat-remote.exe" "$@"; }
for _ in $(seq 150); do remote LAB2 to 2>/dev/null | grep -q 'Lab3  (ann)' && break; sleep 0.2; done
remote LAB2 select "Lab3  (ann)" || { echo "Lab3 never reached LAB2's To: list"; exit 1; }

python3 "$here/../tests/e2e/log_poller.py" '> long (\d+) (\d+\.\d+) [a-z ]+ end' \
  "$(lan_prefix LAB3 "$out")/drive_c/windows/mivlet.log" >"$out/seen" &
poller=$!
_lan_wine_env LAB2 "$out"
lan_spawn LAB2 "$out/probe" "${LAN_WINE_ENV[@]}" wine "$bin/chat_probe.exe" $((messages * 8 + 5)) 20
probe=$LAN_PID
sleep 1
held=()
for i in $(seq "$messages"); do
  # The text is 20,480 characters whatever the stamp: the filler makes up the rest.
  stamp=$(date +%s.%N | cut -c1-17)
  head="long $i $stamp "
  text="$head$(python3 -c 'import sys; f, n = sys.argv[1], int(sys.argv[2]); print((f * (n // len(f) + 1))[:n], end="")' "$filler" $((length - ${#head} - 4))) end"
  start=$(date +%s%N)
  pressed=$(remote LAB2 send "$text" --time)
  end=$(date +%s%N)
  held+=($(((end - start) / 1000000)))
  # chat-remote puts the text into the message box, then presses Send!.
  pressed_ns=$(awk -v p="$pressed" 'BEGIN { printf "%.0f", p * 1e9 }')
  echo "$start $pressed_ns" >>"$out/pastes"
  echo "$pressed_ns $end" >>"$out/sends"
  echo "$i $stamp $pressed" >>"$out/presses"
  sleep 6
done
sleep 2
kill "$poller" 2>/dev/null; wait "$poller" 2>/dev/null; poller=
kill "$probe" 2>/dev/null; wait "$probe" 2>/dev/null
stats() { sort -n | awk '{ v[NR] = $1 } END { if (!NR) { print "none"; exit } printf "p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d)", v[int((NR + 1) / 2)], v[int(NR * 0.99 + 0.999)], v[NR], NR }'; }
echo "build: $MIVLET_BUILD"
echo "chat-remote send of $length characters (Wine's process start included): $(printf '%s\n' "${held[@]}" | stats)"
# The probes asked while the text went into the message box, and from the
# press of Send! to its end.
during() { awk 'NR == FNR { s[NR] = $1 / 1e9; e[NR] = $2 / 1e9; n = NR; next }
                { for (i = 1; i <= n; i++) if ($1 >= s[i] && $1 <= e[i]) { print; next } }' "$1" "$out/probe"; }
echo "the window's answers to chat_probe every 20 ms while the text went into the message box: $(during "$out/pastes" | awk '{ print $2 }' | stats)"
echo "the window's answers to chat_probe every 20 ms from the press of Send! to its end: $(during "$out/sends" | awk '{ print $2 }' | stats), $(during "$out/sends" | awk '$3 != 1' | wc -l) unanswered"
# The poller's figure is from the stamp in the text, taken before chat-remote started.
echo "Send! to the whole message in LAB3's log: $(awk 'NR == FNR { d[$1] = ($3 - $2) * 1000; next } { print $3 - d[$2] }' "$out/presses" "$out/seen" | stats), $(wc -l <"$out/seen") of $messages shown"

#!/usr/bin/env bash
# Text of every script between two chat windows on a test LAN: Mivlet.exe
# under Wine on LAB2 (kel) and LAB3 (Ника), mivlet-peer on LAB1 listening
# with --hex. "Grüße, привет, 😀" is typed into LAB2's message box with real
# keys (xdotool) and sent with Enter; LAB3's history and log hold it exactly,
# and LAB2's To: list shows LAB3's name in its own script. The datagram of
# "Grüße" is the old bytes, an older copy's datagram in code page 1252 shows
# as before, and a screenshot of LAB3's history with Cyrillic, Greek and CJK
# text is kept (MIVLET_UNICODE_SHOT=FILE, else build/unicode-history.png),
# drawn in Tahoma (MIVLET_HISTORY_FACE), whose font link (scripts/lib/common.sh)
# has every one of those scripts.
# Needs root; without it the test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=lan-unicode
source "$here/checks.sh"

peer=${MIVLET_PEER:-$MIVLET_BUILD/native/bin/mivlet-peer}
mivlet=${MIVLET_EXE:-$MIVLET_BUILD/win/bin/Mivlet.exe}
remote_exe=$MIVLET_BUILD/win/bin/chat-remote.exe
shot=${MIVLET_UNICODE_SHOT:-$MIVLET_BUILD/unicode-history.png}

e2e_skip_without_lan
e2e_require_built "$peer" "$mivlet" "$remote_exe"
e2e_begin_lan LAB1 LAB2 LAB3
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE" || echo "# no prefix template: each prefix makes its own first start"

hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }
remote() { local host=$1; shift; lan_wine "$host" "$out" env LANG=C.UTF-8 wine "$remote_exe" "$@"; }
to_has() { remote "$1" to | cut -c3- | grep -qxF -- "$2"; }
history_has() { remote "$1" history | grep -qF -- "$2"; }
# The log as bytes: a file Mivlet made starts with the UTF-8 byte order mark.
log_file() { echo "$(lan_prefix "$1" "$out")/drive_c/windows/mivlet.log"; }
log_has() { tr -d '\r' <"$(log_file "$1")" 2>/dev/null | grep -qF -- "$2"; }

nika='Ника'
font_key='HKLM\Software\Pellandor\Mivlet\GeneralFont'
face=${MIVLET_HISTORY_FACE:-Tahoma}
lan_spawn LAB1 "$out/listen-LAB1" "$peer" listen --json --hex --user bob
declare -A display=()
for host_user in LAB2:kel "LAB3:$nika"; do
  host=${host_user%%:*} user=${host_user#*:}
  lan_mivlet_setting "$host" "$out" Username REG_SZ "$user"
  lan_mivlet_setting "$host" "$out" LogMessages REG_DWORD 1
  lan_mivlet_setting "$host" "$out" PromptOnAllUsers REG_DWORD 0
  # The message font's face only (Mask CFM_FACE): the control's own face
  # here is Wine's bitmap "MS Sans Serif", which has no font link.
  lan_wine "$host" "$out" wine reg add "$font_key" /v Mask /t REG_DWORD /d 0x20000000 /f >/dev/null 2>&1
  lan_wine "$host" "$out" wine reg add "$font_key" /v FaceName /t REG_SZ /d "$face" /f >/dev/null 2>&1
  lan_start_mivlet "$host" "$out" "$mivlet"
  display[$host]=$LAN_DISPLAY
done
window_found() { remote "$1" to >/dev/null 2>&1; }
for host in LAB2 LAB3; do
  check "chat-remote finds the chat window on $host" wait_until 60 window_found "$host"
done
check "the name stored through reg.exe in Cyrillic is LAB3's name in LAB2's To: list" \
  wait_until 10 to_has LAB2 "Lab3  ($nika)"

# --- typed with real keys on LAB2's display, sent with Enter.
mixed='Grüße, привет, 😀'
remote LAB2 show
sleep 1
read -r _ left top _ _ < <(remote LAB2 state)
on_lab2() { lan_exec LAB2 env DISPLAY="${display[LAB2]}" "$@"; }
# The message box lies 230 by 372 pixels into the window as the template
# draws it at 96 dots per inch.
on_lab2 xdotool mousemove $((left + 230)) $((top + 372)) click 1
sleep 0.5
on_lab2 xdotool type --delay 80 -- "$mixed"
sleep 0.5
on_lab2 xdotool key Return
check "LAB3's history shows the typed text exactly" wait_until 10 history_has LAB3 "kel (to all users)"
check "... every character of it" history_has LAB3 "> $mixed"
check "LAB3's log holds it exactly" wait_until 5 log_has LAB3 "> $mixed"
check "LAB3's new log is UTF-8 with its byte order mark" equals "$(head -c 3 "$(log_file LAB3)" | od -An -tx1 | tr -d ' ')" efbbbf
check "LAB2's own history shows it" history_has LAB2 "> $mixed"
check "mivlet-peer on LAB1 reads it as typed" wait_until 5 grep -qF "\"text\":\"$mixed\"" "$out/listen-LAB1"
check "it went as UTF-8 after the mark" grep -q "^hex [0-9.]* $(hex 'Lab2*')00[0-9a-f]\{10\}00$(hex 'kel>')09efbbbf$(hex "$mixed")00$" \
  "$out/listen-LAB1"

# --- the datagram of "Grüße" is the old bytes: code page 1252, no mark.
remote LAB2 send 'Grüße' --to '(All Users)'
check "the window sends \"Grüße\"" equals $? 0
check "its datagram is the old bytes" wait_until 5 grep -q \
  "^hex [0-9.]* $(hex 'Lab2*')00[0-9a-f]\{10\}00$(hex 'kel>')094772fcdf6500$" "$out/listen-LAB1"
check "LAB3 shows it" wait_until 5 history_has LAB3 "> Grüße"

# --- an older copy's datagram, written by hand in code page 1252.
lan_exec LAB1 python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.sendto(b"Mill\x0000007\x00J\xfcrgen>\tGr\xfc\xdfe aus Z\xfcrich, 5 \x80\x00", ("10.77.0.4", 46464))'
check "an older copy's datagram shows as before" wait_until 5 history_has LAB3 "> Grüße aus Zürich, 5 €"
check "... from its user" history_has LAB3 "Jürgen"

# --- scripts for the picture of LAB3's history.
for text in 'Привет всем, обед в 12:30' 'Καλημέρα, η συνάντηση είναι στις 10' '会议改到下午三点' \
  '明日の打ち合わせは10時からです' '회의실 예약했습니다'; do
  lan_exec LAB1 "$peer" send LAB3 "$text" --user bob >/dev/null
done
check "LAB3 shows the CJK texts" wait_until 5 history_has LAB3 '회의실 예약했습니다'
remote LAB3 show
sleep 2
lan_exec LAB3 env DISPLAY="${display[LAB3]}" import -window root "$out/shot.png"
check "a screenshot of LAB3's history" test -s "$out/shot.png"
cp "$out/shot.png" "$shot" 2>/dev/null && echo "# screenshot: $shot"

[[ $failed -eq 0 ]]

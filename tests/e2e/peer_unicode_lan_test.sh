#!/usr/bin/env bash
# Text beyond the code page, end to end between mivlet-peers on a test LAN:
# what goes on the wire (the datagrams as "listen --hex" prints them), what
# the receiver shows, and what an older copy's datagram reads as. Needs
# root; without it the test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=lan-peer-unicode
source "$here/checks.sh"

peer=${MIVLET_PEER:-$MIVLET_BUILD/native/bin/mivlet-peer}
e2e_begin_lan LAB1 LAB2 LAB3

hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n'; }
# The JSON lines of a listener's output, each checked to be JSON.
json_field() {  # json_field FILE INDEX FIELD
  python3 -c 'import json,sys
lines=[l for l in open(sys.argv[1], encoding="utf-8") if l.startswith("{")]
print(json.loads(lines[int(sys.argv[2])])[sys.argv[3]])' "$@"
}
all_json() { python3 -c 'import json,sys
[json.loads(l) for l in open(sys.argv[1], encoding="utf-8") if l.startswith("{")]' "$1"; }

lan_spawn LAB2 "$out/lab2" "$peer" listen --json --hex --user ann
lab2=$LAN_PID
lan_spawn LAB3 "$out/lab3" "$peer" listen --json --codepage 1251 --user bob
lab3=$LAN_PID
sleep 1.5

gruesse='Grüße'
mixed='Grüße, привет, 😀'
lan_exec LAB1 "$peer" send LAB2 "$gruesse" --user kel
check "a text of the code page is sent" equals $? 0
lan_exec LAB1 "$peer" send LAB2 "$mixed" --user kel
check "a text beyond it is sent" equals $? 0
lan_exec LAB1 "$peer" send LAB2 "Hi" --user 'Кел'
check "a user name beyond it is sent" equals $? 0
# An older copy's datagram, in code page 1252, written by hand.
lan_exec LAB1 python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.sendto(b"Mill\x0000007\x00J\xfcrgen>\tGr\xfc\xdfe \x80\x00", ("10.77.0.3", 46464))'
check "an older copy's datagram is sent" equals $? 0
printf 'a\xffb' | lan_exec LAB1 "$peer" send LAB2 - --user kel 2>/dev/null
check "standard input that is not UTF-8 is refused as a bad text" equals $? 5
# A sender whose code page has the letters sends them unmarked in it.
lan_exec LAB1 "$peer" send LAB3 'привет' --codepage 1251 --user kel
check "a sender with code page 1251 sends Cyrillic" equals $? 0
lan_exec LAB1 "$peer" send LAB3 'x' --codepage 99999 --user kel 2>/dev/null
check "a code page the system lacks is a usage error" equals $? 2
sleep 1
kill -TERM "$lab2" "$lab3"; wait "$lab2" "$lab3" 2>/dev/null

# The datagrams as they came.
check "the datagram of \"Grüße\" is the old bytes: 1252, no mark" \
  grep -q "^hex [0-9.]* $(hex 'Lab1')00[0-9a-f]\{10\}00$(hex 'kel>')09$(printf '4772fcdf65')00$" "$out/lab2"
check "the text beyond the page goes as UTF-8 after the mark, the name as it was" \
  grep -q "^hex [0-9.]* $(hex 'Lab1')00[0-9a-f]\{10\}00$(hex 'kel>')09efbbbf$(hex "$mixed")00$" "$out/lab2"
check "only the user-name field is marked when only it needs it" \
  grep -q "^hex [0-9.]* $(hex 'Lab1')00[0-9a-f]\{10\}00efbbbf$(hex 'Кел>')09$(hex 'Hi')00$" "$out/lab2"

# What the receiver shows.
check "every --json line is JSON" all_json "$out/lab2"
check "\"Grüße\" arrives as typed" equals "$(json_field "$out/lab2" 0 text)" "$gruesse"
check "\"$mixed\" arrives as typed" equals "$(json_field "$out/lab2" 1 text)" "$mixed"
check "the marked user name arrives as typed" equals "$(json_field "$out/lab2" 2 user)" 'Кел'
check "an older copy's datagram reads as before (in code page 1252)" equals \
  "$(json_field "$out/lab2" 3 user) $(json_field "$out/lab2" 3 text)" 'Jürgen Grüße €'
check "code page 1251 to code page 1251 reads as typed" equals "$(json_field "$out/lab3" 0 text)" 'привет'

# The Windows build reads its arguments from the wide command line.
if [[ -x $MIVLET_BUILD/win/bin/mivlet-peer.exe ]]; then
  lan_spawn LAB2 "$out/from-windows" "$peer" listen --json --user ann
  listener=$LAN_PID
  sleep 1.5
  lan_exec LAB1 env LANG=C.UTF-8 WINEPREFIX="$out/wine-LAB1" WINEDEBUG=-all \
    wine "$MIVLET_BUILD/win/bin/mivlet-peer.exe" send LAB2 "$mixed" --user 'Кел' >/dev/null 2>&1
  check "mivlet-peer.exe under Wine sends UTF-8 arguments" equals $? 0
  sleep 1
  kill -TERM "$listener"; wait "$listener" 2>/dev/null
  check "they arrive as typed" equals \
    "$(json_field "$out/from-windows" 0 user) $(json_field "$out/from-windows" 0 text)" "Кел $mixed"
else
  echo "# no Windows build: mivlet-peer.exe not tried"
fi

[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# New-message reactions end to end on a test LAN: Mivlet.exe under Wine on
# LAB2, hidden, in a Wine virtual desktop with a taskbar; mivlet-peer on
# LAB1 sends it direct messages. With the default settings the window
# comes up minimised, with "OnNewMessage" 1 it pops up, with 2 it stays
# hidden; a password box of another program with the focus holds the pop-up
# back until the focus leaves it; a second start always shows the window.
# Needs root; without it the test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=lan-alerts
source "$here/checks.sh"

peer=${MIVLET_PEER:-$MIVLET_BUILD/native/bin/mivlet-peer}
mivlet=${MIVLET_EXE:-$MIVLET_BUILD/win/bin/Mivlet.exe}
remote_exe=$MIVLET_BUILD/win/bin/chat-remote.exe
password_box=$MIVLET_BUILD/win/bin/password-box.exe

e2e_skip_without_lan
e2e_require_built "$peer" "$mivlet" "$remote_exe" "$password_box"
e2e_begin_lan LAB1 LAB2
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE" || echo "# no prefix template: each prefix makes its own first start"

E2E_POLL=0.1

remote() { lan_wine LAB2 "$out" wine "$remote_exe" "$@"; }
state() { remote state | cut -d' ' -f1; }
state_is() { [[ $(state) == "$1" ]]; }
setting() { lan_mivlet_setting LAB2 "$out" "$1" REG_DWORD "$2"; }
sent=0
send() {
  sent=$((sent + 1))
  lan_exec LAB1 "$peer" send LAB2 "message $sent" --user bob >/dev/null
}
history_has() { remote history | grep -qF -- "message $1"; }
# How long after the send the window reached STATE (-1: not within 3 s).
reached_after() {
  local from=$1 wanted=$2
  wait_until 3 state_is "$wanted" || { echo -1; return; }
  echo $(($(now_ms) - from))
}

# LAB2's Wine session has a virtual desktop of its own, with a taskbar.
lan_wine LAB2 "$out" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
lan_wine LAB2 "$out" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
lan_mivlet_setting LAB2 "$out" Username REG_SZ kel
lan_start_mivlet LAB2 "$out" "$mivlet"
window_found() { remote state >/dev/null 2>&1; }
check "chat-remote finds the chat window on LAB2" wait_until 60 window_found
check "the chat window starts hidden" state_is hidden

# --- the default: flash the taskbar button, the window shown minimised.
start=$(now_ms); send
after=$(reached_after "$start" minimised)
echo "# default settings: minimised on the taskbar ${after} ms after the send"
check "with the default settings the window comes up minimised within a second" test "$after" -ge 0 -a "$after" -le 1000
check "the message is in the history" history_has 1

# --- OnNewMessage 1: popped up.
remote hide
setting OnNewMessage 1
start=$(now_ms); send
after=$(reached_after "$start" shown)
echo "# OnNewMessage 1: shown ${after} ms after the send"
check "with OnNewMessage 1 the window pops up, not minimised, within a second" test "$after" -ge 0 -a "$after" -le 1000

# --- OnNewMessage 2: nothing.
remote hide
setting OnNewMessage 2
send
check "with OnNewMessage 2 the message arrives" wait_until 3 history_has "$sent"
sleep 1
check "with OnNewMessage 2 the window stays hidden" state_is hidden

# --- a password box of another program with the focus holds the pop-up back.
setting OnNewMessage 1
_lan_wine_env LAB2 "$out"
lan_spawn LAB2 "$out/password-box.log" "${LAN_WINE_ENV[@]}" wine "$password_box" 4000
holding() { grep -qx holding "$out/password-box.log" 2>/dev/null; }
released() { grep -qx released "$out/password-box.log" 2>/dev/null; }
check "the password box has the focus" wait_until 20 holding
send
check "the message arrives while the password box has the focus" wait_until 3 history_has "$sent"
check "the window stays hidden while the password box has the focus" state_is hidden
check "the password box gives up the focus" wait_until 10 released
start=$(now_ms)
after=$(reached_after "$start" shown)
echo "# the window popped up ${after} ms after the password box gave up the focus"
check "then the window pops up within a second" test "$after" -ge 0 -a "$after" -le 1000

# --- a second start shows the window whatever the reaction.
remote hide
setting OnNewMessage 2
lan_wine LAB2 "$out" wine "$mivlet" >/dev/null 2>&1
check "a second start shows the window with OnNewMessage 2" wait_until 3 state_is shown

[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# The run command as a newcomer meets it: scripts/run.sh makes its test LAN,
# and the two colleagues on it show in the To: list and answer a message.
# The --real-network mode is run only inside a namespace of this test's own
# LAN, where its broadcasts reach nobody else. Needs root; without it the
# test says so and skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
source "$here/lan.sh"
E2E_LABEL=first-run
source "$here/checks.sh"

run=$MIVLET_ROOT/scripts/run.sh
peer=$MIVLET_BUILD/native/bin/mivlet-peer
remote_exe=$MIVLET_BUILD/win/bin/chat-remote.exe
e2e_require_built "$peer" "$MIVLET_BUILD/win/bin/Mivlet.exe" "$remote_exe"
e2e_begin_lan LAB1 LAB2
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE" || echo "# no prefix template: each prefix makes its own first start"
ensure_display || { echo "not ok - no display"; failed=1; exit 1; }
run_pid=
stop_run() {
  [[ -n $run_pid ]] && { kill -TERM "$run_pid" 2>/dev/null; wait "$run_pid" 2>/dev/null; }
  run_pid=
}
trap 'stop_run; stop_display; e2e_finish' EXIT

E2E_POLL=0.3

# --- what each mode would start.
plan=$(bash "$run" --dry-run)
check "as root the run command plans a test LAN" grep -q '^network: private test LAN' <<<"$plan"
check "on the UDP carrier" grep -qx 'carrier: udp' <<<"$plan"
check "with two answering colleagues" equals "$(grep -c '^colleague: host .* answer --broadcasts' <<<"$plan")" 2
plan=$(setpriv --reuid 65534 --regid 65534 --clear-groups bash "$run" --dry-run 2>&1)
check "without root it says why" grep -q '^No test LAN: not root' <<<"$plan"
check "and plans a copy alone on the mailslot carrier" grep -qx 'carrier: mailslot' <<<"$plan"
plan=$(bash "$run" --real-network --dry-run)
check "--real-network warns that broadcasts go out" grep -q '^WARNING: .*broadcast' <<<"$plan"
check "--real-network plans the UDP carrier on this computer's network" \
  equals "$(grep -E '^(network|carrier):' <<<"$plan" | cut -d: -f1,2 | tr '\n' ' ')" "network: this computer's own carrier: udp "

# --- the test LAN of the run command, with the newcomer's name stored
# first so that no name prompt stands in the way.
run_dir=$out/run
run_lan=${LAN_ID}r
desk_prefix=$run_dir/wine-DESK
mkdir -p "$run_dir"
if [[ -f $LAN_WINE_TEMPLATE/system.reg ]]; then cp -a "$LAN_WINE_TEMPLATE" "$desk_prefix"; fi
WINEPREFIX=$desk_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Username /t REG_SZ /d newcomer /f >/dev/null 2>&1
WINEPREFIX=$desk_prefix wineserver -w
LAN_ID=$run_lan MIVLET_RUN_DIR=$run_dir bash "$run" --no-build >"$out/run.log" 2>&1 &
run_pid=$!

# chat-remote on DESK. The run command's copy lives in a Wine virtual
# desktop, whose windows are found only from inside it; a program started
# there has no console of its own, so cmd keeps its output and exit code.
desk() {
  local drive=$desk_prefix/drive_c
  rm -f "$drive/remote-out.txt" "$drive/remote-rc.txt"
  ip netns exec "${run_lan}-DESK" env WINEPREFIX="$desk_prefix" WINEDEBUG=-all DISPLAY="$DISPLAY" \
    wine explorer /desktop=shell,900x600 cmd /v:on /c "Z:${remote_exe//\//\\}" "$@" \
    '>' 'C:\remote-out.txt' '2>&1' '&' echo '!errorlevel!>' 'C:\remote-rc.txt' >/dev/null 2>&1
  # Wine starts the desktop, cmd and the program in turn: seconds on a busy machine.
  for _ in $(seq 300); do [[ -s $drive/remote-rc.txt ]] && break; sleep 0.1; done
  tr -d '\r' <"$drive/remote-out.txt" 2>/dev/null
  return "$(tr -dc '0-9' <"$drive/remote-rc.txt" 2>/dev/null || echo 99)"
}
to_has() { desk to 2>/dev/null | cut -c3- | grep -qxF -- "$1"; }
history_has() { desk history 2>/dev/null | grep -qF -- "$1"; }

check "the run command starts Mivlet on its test LAN" wait_until 90 to_has "(All Users)"
check "the To: list shows the colleague Ann" wait_until 30 to_has "Ann  (ann)"
check "the To: list shows the colleague Bob" wait_until 30 to_has "Bob  (bob)"
desk send "Hello Ann, I am new here" --to "Ann  (ann)" >/dev/null 2>&1
check "a message to Ann is sent" equals $? 0
check "Ann's answer shows in the history" \
  wait_until 40 history_has 'Ann here. You wrote: "Hello Ann, I am new here"'
desk send "What time is it?" --to "Bob  (bob)" >/dev/null 2>&1
check "Bob answers too" wait_until 40 history_has "Bob here. It is "
check "Ann's log tells what happened to the message" grep -q 'Desk (newcomer): answered with' "$run_dir/colleague-ann.log"
stop_run
check "stopping the run command removes its test LAN" bash -c "! ip netns list | grep -q '^${run_lan}-'"

# --- --real-network, inside host LAB1 of this test's LAN: the copy it
# starts takes part on the UDP carrier, so LAB2 hears it.
real_prefix=$out/real-prefix
if [[ -f $LAN_WINE_TEMPLATE/system.reg ]]; then cp -a "$LAN_WINE_TEMPLATE" "$real_prefix"; fi
lan_spawn LAB1 "$out/real.log" env MIVLET_RUN_PREFIX="$real_prefix" DISPLAY="$DISPLAY" \
  bash "$run" --real-network --no-build
real_pid=$LAN_PID
heard_lab1() { lan_exec LAB2 "$peer" who --wait 1.2 --user watcher 2>/dev/null | grep -q '^Lab1  ('; }
check "--real-network starts Mivlet on the UDP carrier of the network it is on" wait_until 60 heard_lab1
check "--real-network warned first" grep -q '^WARNING: .*broadcast' "$out/real.log"
kill -TERM "$real_pid" 2>/dev/null
wait "$real_pid" 2>/dev/null

[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# Takes a screenshot of the chat window with a few messages in its history:
# Mivlet in a Wine virtual desktop on a display of its own, messages written
# into its local mailslot by mailslot-send (nothing leaves the computer), a
# second start to bring the window up. Writes build/chat-window.png, or the
# file given.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
out=${1:-$MIVLET_BUILD/chat-window.png}

build_windows
unset DISPLAY
ensure_display
export WINEPREFIX=$MIVLET_BUILD/wineprefix-shot
wine_env
trap 'wine_stop; stop_display' EXIT

bin=$MIVLET_BUILD/win/bin
desktop() { wine explorer /desktop=shell,900x600 "$@"; }
desktop "$bin/Mivlet.exe" &
sleep 8
send() { desktop "$bin/mailslot-send.exe" "$@"; sleep 0.5; }
send Lab2 Kel "Morning all - coffee in the kitchen at 9:30" all 1
send Office Ann "Thanks! Did the printer on the second floor get fixed?" "" 1
send Lab2 Kel "Yes, see http://intranet/helpdesk/ticket/4711" "" 2
send Office Ann "Great, printing the handouts now.
Ten copies enough?" "" 2
desktop "$bin/Mivlet.exe"
sleep 3
import -window root "$out"
echo "screenshot: $out"

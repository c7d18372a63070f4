#!/usr/bin/env bash
# Takes a picture of each page of the Options sheet: Mivlet in a Wine virtual
# desktop on a display of its own, with the mailslot carrier (nothing leaves
# the computer), a few settings and messages in place; the sheet is opened
# and its pages turned with real keys. Writes docs/options-general.png,
# docs/options-format.png and docs/options-quickkeys.png, or into the
# folder given.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
out=${1:-$MIVLET_ROOT/docs}

build_windows
unset DISPLAY
ensure_display
export WINEPREFIX=$MIVLET_BUILD/wineprefix-options-shot
wine_env  # sets the mailslot carrier
trap 'wine_stop; stop_display' EXIT

key='HKLM\Software\Pellandor\Mivlet'
wine reg add "$key" /v Username /d Kel /f >/dev/null
wine reg add "$key" /v LogMessages /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$key\\QuickKeys" /v F2 /d "Good morning!" /f >/dev/null
wine reg add "$key\\QuickKeys" /v F3 /d "Lunch at 12?" /f >/dev/null
wine reg add "$key\\QuickKeys" /v F5 /d "Back in five minutes." /f >/dev/null

bin=$MIVLET_BUILD/win/bin
desktop() { wine explorer /desktop=shell,900x600 "$@"; }
desktop "$bin/Mivlet.exe" &
sleep 8
desktop "$bin/mailslot-send.exe" Office Ann "Are we still on for the review at 3?" "" 1
sleep 1
desktop "$bin/Mivlet.exe"   # a second start shows the chat window
sleep 3

shot() { sleep 2; import -window root -crop 900x600+0+0 "$out/$1"; echo "screenshot: $out/$1"; }
xdotool key alt+o
shot options-general.png
xdotool key ctrl+Tab
shot options-format.png
xdotool key ctrl+Tab
xdotool key F5
shot options-quickkeys.png
xdotool key Escape

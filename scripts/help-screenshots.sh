#!/usr/bin/env bash
# Takes pictures of the About box and of the history's right-click menu:
# Mivlet in a Wine virtual desktop on a display of its own, with the mailslot
# carrier so that nothing leaves the computer, a few messages written into
# its local mailslot by mailslot-send, and real keys and clicks from xdotool.
# Writes about-box.png and history-menu.png into the folder given (default
# build/).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
out=${1:-$MIVLET_BUILD}
mkdir -p "$out"

build_windows
unset DISPLAY
ensure_display
export WINEPREFIX=$MIVLET_BUILD/wineprefix-help-shots
wine_env  # the mailslot carrier, too
trap 'wine_stop; stop_display' EXIT
# A stored name: no name prompt comes first.
wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Username /t REG_SZ /d Kel /f >/dev/null

bin=$MIVLET_BUILD/win/bin
desktop() { wine explorer /desktop=shell,900x600 "$@"; }
shot() { import -window root -crop 900x600+0+0 +repage "$1"; echo "screenshot: $1"; }
desktop "$bin/Mivlet.exe" &
sleep 8
send() { desktop "$bin/mailslot-send.exe" "$@"; sleep 0.5; }
path='\\Lab2\Shared\Plans\budget-2026.xls'
send Lab2 Kel "Morning all - coffee in the kitchen at 9:30" all 1
send Office Ann "Did anyone see the new budget sheet?" "" 1
send Lab2 Kel "It is on the share: $path" "" 2
desktop "$bin/Mivlet.exe"
sleep 3

# A click in the history's upper half, inside the chat window. Inside the
# virtual desktop xdotool counts the desktop's offset twice; xwininfo does not.
window=$(xdotool search --onlyvisible --name '^Mivlet$' | head -1)
geometry=$(xwininfo -id "$window")
x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$geometry")
y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$geometry")
width=$(sed -n 's/.*Width: *//p' <<<"$geometry")
height=$(sed -n 's/.*Height: *//p' <<<"$geometry")
xdotool mousemove $((x + width / 2)) $((y + height / 3)) click 1
sleep 0.3
# The path at the end of the last line, selected from the keyboard; the menu
# from the keyboard opens beside it.
xdotool key ctrl+End Left
xdotool key --repeat ${#path} --delay 20 shift+Left
xdotool key shift+F10
sleep 1
shot "$out/history-menu.png"
xdotool key Escape
sleep 0.3

# F1 opens the Help menu; A is its About item.
xdotool key F1
sleep 0.5
xdotool key a
sleep 1.5
shot "$out/about-box.png"
xdotool key Escape

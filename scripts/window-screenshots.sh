#!/usr/bin/env bash
# Screenshots of the chat window's shape and alerts, in a Wine virtual
# desktop with a taskbar on a display of its own: a message while the
# window is hidden (minimised on the taskbar, flashing), the window with its
# side caption bar, the window resized with its gripper, and the tray menu.
# Mivlet uses its local mailslot only; mailslot-send writes the messages.
# Writes into docs/, or the folder given.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
shots=${1:-$MIVLET_ROOT/docs}
mkdir -p "$shots"

build_windows
unset DISPLAY
ensure_display
trap 'wine_stop; stop_display' EXIT
export WINEPREFIX=$MIVLET_BUILD/wineprefix-window-shots
rm -rf "$WINEPREFIX"
wine_env
wine_virtual_desktop 900x600
wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Username /d kel /f >/dev/null 2>&1

bin=$MIVLET_BUILD/win/bin
shoot() { import -window root -crop 900x600+0+0 +repage "$shots/$1"; echo "screenshot: $shots/$1"; }
state() { wine "$bin/chat-remote.exe" state; }
send() { wine "$bin/mailslot-send.exe" "$@"; sleep 0.5; }

wine "$bin/Mivlet.exe" &
until state >/dev/null 2>&1; do sleep 0.5; done
sleep 2

# A message while the window is hidden: it comes up minimised on the
# taskbar (whose buttons this Wine draws without the flashing).
send Office Ann "Morning! Is the printer on the second floor fixed?" "" 1
sleep 1
shoot window-minimised.png

# The window, shown by a second start, with its side caption bar.
send Lab3 Bob "Yes, see http://intranet/helpdesk/ticket/4711" all 2
wine "$bin/Mivlet.exe"
sleep 2
shoot window-caption-bar.png

# Resized with the gripper in its bottom-right corner.
read -r _ left top right bottom < <(state)
xdotool mousemove $((right - 6)) $((bottom - 6)) mousedown 1 sleep 0.3 \
  mousemove $((right + 150)) $((bottom + 90)) sleep 0.3 mouseup 1
sleep 1
shoot window-resized.png

# Another program in front, then a message: the chat window's caption
# flashes every 500 ms. The shot is the first one whose caption is drawn
# active while the other program is in front.
wine notepad &
sleep 3
read -r _ left top right bottom < <(state)
caption() { convert "$1" -crop 1x1+$((right - 60))+$((top + 10)) -format '%[hex:p{0,0}]' info:; }
import -window root -crop 900x600+0+0 +repage "$MIVLET_BUILD/flash.png"
inactive=$(caption "$MIVLET_BUILD/flash.png")
send Office Ann "Printing the handouts now." "" 3
for i in $(seq 12); do
  import -window root -crop 900x600+0+0 +repage "$MIVLET_BUILD/flash.png"
  if [[ $(caption "$MIVLET_BUILD/flash.png") != "$inactive" ]]; then
    cp "$MIVLET_BUILD/flash.png" "$shots/window-flashing.png"
    echo "screenshot: $shots/window-flashing.png"
    break
  fi
  sleep 0.15
done
wine "$bin/chat-remote.exe" show

# The tray menu: a right click on the icon in the taskbar's notification area.
wine "$bin/chat-remote.exe" hide
sleep 1
xdotool mousemove "${MIVLET_TRAY_X:-884}" "${MIVLET_TRAY_Y:-588}" click 3
sleep 1
shoot tray-menu.png
xdotool key Escape

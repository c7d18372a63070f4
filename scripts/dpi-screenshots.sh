#!/usr/bin/env bash
# Screenshots of the chat window at 100 %, 150 % and 200 % scaling (96, 144
# and 192 dpi, set as LogPixels in a Wine prefix of each scale's own), with
# a few messages, the newest one holding a link: the template, its fonts,
# the side caption bar and its Help button scale together. Mivlet uses its
# local mailslot only; mailslot-send writes the messages. Writes
# window-96dpi.png, window-144dpi.png and window-192dpi.png into docs/, or
# the folder given; --no-build uses the build that is there.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
build=1
[[ ${1:-} == --no-build ]] && { build=0; shift; }
shots=${1:-$MIVLET_ROOT/docs}
mkdir -p "$shots"

(( build )) && build_windows
unset DISPLAY
bin=$MIVLET_BUILD/win/bin
export MIVLET_SCREEN=1280x960  # room for the window at 200 %

for dpi in 96 144 192; do
  ensure_display
  export WINEPREFIX=$MIVLET_BUILD/wineprefix-dpi-$dpi
  rm -rf "$WINEPREFIX"
  wine_env
  wine_virtual_desktop 1280x960
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Username /d kel /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true  # the scale is read when the session starts

  wine "$bin/Mivlet.exe" &
  until wine "$bin/chat-remote.exe" state >/dev/null 2>&1; do sleep 0.5; done
  wine "$bin/mailslot-send.exe" Office Ann "Morning! Is the printer on the second floor fixed?" "" 1
  wine "$bin/mailslot-send.exe" Lab3 Bob "Yes, see http://intranet/helpdesk/ticket/4711" "" 2
  sleep 1
  wine "$bin/chat-remote.exe" show
  sleep 2
  read -r _ left top right bottom < <(wine "$bin/chat-remote.exe" state)
  import -window root -crop "$((right - left + 16))x$((bottom - top + 16))+$((left - 8))+$((top - 8))" +repage \
    "$shots/window-${dpi}dpi.png"
  echo "screenshot: $shots/window-${dpi}dpi.png"
  wine_stop
  stop_display
  unset DISPLAY
done

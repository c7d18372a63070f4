#!/usr/bin/env bash
# Builds Mivlet for Windows and starts it under Wine; it keeps running until
# this script is stopped (Ctrl+C). Without a display it starts Xvfb with a
# Wine virtual desktop (taskbar and notification area included) and writes
# screenshots of it to build/screenshot.png.
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"

bash "$MIVLET_ROOT/scripts/setup.sh"
mkdir -p "$MIVLET_BUILD"
build_windows

headless=
if [[ -z ${DISPLAY:-} ]]; then
  ensure_display
  headless=1
fi
export WINEPREFIX=${MIVLET_RUN_PREFIX:-$MIVLET_BUILD/wineprefix-run}
wine_env
trap 'wine_stop; stop_display' EXIT
trap 'exit 0' INT TERM

exe="$MIVLET_BUILD/win/bin/Mivlet.exe"
shot="$MIVLET_BUILD/screenshot.png"
wine explorer /desktop=shell,900x600 "$exe" &
desktop=$!

if [[ -n $headless ]]; then
  sleep 5
  import -window root "$shot"
  echo "Mivlet is running on the virtual display $DISPLAY."
  echo "Screenshot: $shot (renewed every 10 seconds)."
  echo "Take one yourself:  DISPLAY=$DISPLAY import -window root shot.png"
  echo "Stop with Ctrl+C."
  while kill -0 "$desktop" 2>/dev/null; do
    sleep 10
    import -window root "$shot" 2>/dev/null || true
  done
else
  echo "Mivlet is running in a Wine virtual desktop on $DISPLAY. Stop with Ctrl+C."
  wait "$desktop"
fi

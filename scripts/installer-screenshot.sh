#!/usr/bin/env bash
# Takes a picture of the installer's first page as a user meets it: the
# installer built by the Windows build, started in a Wine virtual desktop on
# a display of its own, in a fresh prefix. Writes build/installer.png, or the
# file given (docs/installer.png is one).
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
out=${1:-$MIVLET_BUILD/installer.png}

build_windows
unset DISPLAY
ensure_display
export WINEPREFIX=$MIVLET_BUILD/wineprefix-installer-shot
rm -rf "$WINEPREFIX"
wine_env
trap 'wine_stop; stop_display; rm -rf "$WINEPREFIX"' EXIT

setup=$(ls "$MIVLET_BUILD"/win/bin/Mivlet-Setup-*.exe | head -1)
wine explorer /desktop=shell,800x600 "$setup" &
sleep 8
# The wizard sits in the middle of the 800x600 desktop.
import -window root -crop 504x359+147+110 +repage "$out"
echo "screenshot: $out"

# Shared by the scripts: paths, the three builds and a Wine environment of
# the project's own. Source it; it defines functions and sets no traps.

MIVLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
MIVLET_BUILD=${MIVLET_BUILD:-$MIVLET_ROOT/build}
JOBS=${JOBS:-$(nproc)}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1; shift
  cmake -S "$MIVLET_ROOT" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  echo "building $(basename "$dir")"
  cmake --build "$dir" -j "$JOBS" >"$dir.build.log" 2>&1 ||
    { grep -E 'error|Error' -A5 "$dir.build.log" | head -80; tail -20 "$dir.build.log"; return 1; }
}

build_native()   { configure_and_build "$MIVLET_BUILD/native"; }
build_asan()     { configure_and_build "$MIVLET_BUILD/asan" -DMIVLET_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; }
build_windows()  { configure_and_build "$MIVLET_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$MIVLET_ROOT/cmake/mingw-w64-x86_64.cmake"; }

# A Wine prefix of our own, quiet, and without the offers to download Mono
# or Gecko that would wait for a click on a first start.
wine_env() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
  wine_prefix "${WINEPREFIX:-$MIVLET_BUILD/wineprefix}"
}

# wine_prefix DIR: makes DIR the Wine prefix, with our fonts, and with the
# mailslot carrier set for Mivlet. A copy that runs on this machine's own
# network must never broadcast there: the UDP carrier is only for the test
# LAN's namespaces, whose hosts set it themselves (tests/e2e/lan.sh). A
# prefix whose first start has no display draws no dialogs afterwards, so
# this makes sure of one first.
wine_prefix() {
  ensure_display || return 1
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX"
  wine_add_fonts "$WINEPREFIX"
  wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Transport /t REG_SZ /d mailslot /f >/dev/null 2>&1 ||
    { echo "could not set the mailslot carrier in $WINEPREFIX" >&2; return 1; }
  wine_link_fonts || echo "could not link the fonts in $WINEPREFIX: some scripts show as boxes" >&2
}

# Wine draws the title-bar buttons with the Marlett font and dialogs made
# for "MS Sans Serif" with its own bitmap font of that name, but this Wine
# does not look into the folder where fonts-wine puts them: the buttons come
# out as the letters "0 1 r" and the dialogs in a wider font. Copies in the
# prefix's Fonts folder are found; creating the folder before the prefix
# exists does no harm.
#
# Text of every script: the faces the program and its dialogs ask for have
# Latin, Cyrillic and Greek here at best, and no Chinese, Japanese or
# Korean, which Windows fills in by font linking. The same links make Wine
# draw those characters instead of boxes; this Wine draws a linked face with
# the first font of its link alone, so the link is one font that has every
# one of these scripts, WenQuanYi Micro Hei (Debian's fonts-wqy-microhei).
# Emoji stay boxes: no font here has them in a form Wine draws.
WINE_FONT_FILES=(/usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/sserife.fon
  /usr/share/fonts/truetype/wqy/wqy-microhei.ttc)
WINE_LINKED_FACES=("MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Tahoma" "Arial"
  "Courier New" "Times New Roman" "Segoe UI" "System")
wine_add_fonts() {
  local fonts="$1/drive_c/windows/Fonts" font
  mkdir -p "$fonts"
  for font in "${WINE_FONT_FILES[@]}"; do
    [[ -f $font && ! -f $fonts/${font##*/} ]] && cp "$font" "$fonts/"
  done
  return 0
}

# wine_link_fonts: the font links in the current prefix's registry, once.
wine_link_fonts() {
  [[ -f $WINEPREFIX/drive_c/windows/Fonts/wqy-microhei.ttc ]] || return 0
  grep -q 'wqy-microhei.ttc,WenQuanYi Micro Hei' "$WINEPREFIX/system.reg" 2>/dev/null && return 0
  local reg face
  reg=$(mktemp --suffix=.reg)
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    for face in "${WINE_LINKED_FACES[@]}"; do
      # REG_MULTI_SZ as hex(7): "file,face" entries, each ended by a zero, then one more.
      printf '"%s"=hex(7):%s\r\n' "$face" "$(printf 'wqy-microhei.ttc,WenQuanYi Micro Hei\0\0' |
        od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
    done
  } >"$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  local rc=$?
  rm -f "$reg"
  return $rc
}

wine_stop() { wineserver -k >/dev/null 2>&1 || true; }

# Programs of the prefix open their windows inside one Wine virtual desktop,
# which has a taskbar and a notification area, instead of as X windows of
# their own. Without a window manager (bare Xvfb) Wine waits up to two
# seconds for one to confirm each of its own windows that it hides or
# destroys; inside the virtual desktop Wine manages the windows itself. The
# wait lets a new prefix's first start finish before the tests' timings
# start.
wine_virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${1:-1024x768}" /f >/dev/null 2>&1 &&
    wineserver -w
}

# Starts Xvfb on a free display when there is no display (of MIVLET_SCREEN
# pixels, 1024x768 unless set); sets DISPLAY and
# MIVLET_XVFB_PID (empty when a display was already there). Xvfb picks the
# number itself, so runs side by side do not race for one.
MIVLET_XVFB_PID=
ensure_display() {
  [[ -n ${DISPLAY:-} ]] && return 0
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${MIVLET_SCREEN:-1024x768}x24" -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  MIVLET_XVFB_PID=$!
  for _ in $(seq 100); do
    if [[ -s $numberFile ]]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
      rm -f "$numberFile"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$numberFile"
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() { [[ -n $MIVLET_XVFB_PID ]] && kill "$MIVLET_XVFB_PID" 2>/dev/null; MIVLET_XVFB_PID=; }

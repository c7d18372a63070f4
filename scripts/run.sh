#!/usr/bin/env bash
# Builds Mivlet and starts it under Wine; it keeps running until this script
# is stopped (Ctrl+C).
#
#   bash scripts/run.sh                 on a private test LAN, with two colleagues
#   bash scripts/run.sh --real-network  on this computer's own network
#   options: --dry-run (tell what would start, start nothing), --no-build
#
# The test LAN is made of network namespaces (tests/e2e/lan.sh) and needs
# root: Mivlet runs on the host DESK with the UDP carrier, and the colleagues
# Ann and Bob are windowless peers (mivlet-peer answer) on hosts of their own
# that answer every message. Without root the script says why and starts a
# copy on the local mailslot carrier, which only talks to itself. Nothing of
# either mode sends onto this computer's network; --real-network does: it
# starts Mivlet with the UDP carrier on this computer's own interfaces.
#
# Without a display the script starts Xvfb with a Wine virtual desktop
# (taskbar and notification area included) and writes screenshots of it to
# build/screenshot.png. MIVLET_RUN_DIR (default build/run) keeps the Wine
# prefixes between runs, so the name given at the first start is kept.
set -uo pipefail
source "$(dirname "$0")/lib/common.sh"
source "$MIVLET_ROOT/tests/e2e/lan.sh"

usage() {
  echo "usage: bash scripts/run.sh [--real-network] [--dry-run] [--no-build]" >&2
  exit 2
}

mode=lan dry= build=1
for arg in "$@"; do
  case $arg in
    --real-network) mode=real ;;
    --dry-run) dry=1 ;;
    --no-build) build= ;;
    -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown option $arg" >&2; usage ;;
  esac
done

run_dir=${MIVLET_RUN_DIR:-$MIVLET_BUILD/run}
exe=$MIVLET_BUILD/win/bin/Mivlet.exe
peer=$MIVLET_BUILD/native/bin/mivlet-peer
desktop=(explorer /desktop=shell,900x600 "$exe")
hosts=(DESK ANN BOB)
colleagues=(ann bob)

if [[ $mode == lan ]]; then
  if ! why=$(lan_available); then
    echo "No test LAN: $why. The test LAN is made of network namespaces, which need root."
    echo "Mivlet starts alone, on the local mailslot carrier: it talks only to itself."
    echo "Run as root (sudo bash scripts/run.sh) for a test LAN with two colleagues who answer."
    mode=alone
  fi
fi

# What each mode starts, as --dry-run tells it.
plan() {
  case $mode in
    lan)
      echo "network: private test LAN of network namespaces (10.77.0.0/24, no route out)"
      echo "carrier: udp"
      echo "mivlet: host ${hosts[0]}: wine ${desktop[*]}"
      local i
      for i in 1 2; do
        echo "colleague: host ${hosts[$i]}: $peer answer --broadcasts --user ${colleagues[$((i - 1))]}" \
          "-- bash $MIVLET_ROOT/scripts/colleague.sh ${colleagues[$((i - 1))]}"
      done
      ;;
    alone)
      echo "network: none (the local mailslot only)"
      echo "carrier: mailslot"
      echo "mivlet: this computer: wine ${desktop[*]}"
      ;;
    real)
      echo "network: this computer's own: broadcasts go out on every IPv4 interface"
      echo "carrier: udp"
      echo "mivlet: this computer: wine ${desktop[*]}"
      ;;
  esac
}

if [[ $mode == real ]]; then
  echo "WARNING: --real-network starts Mivlet on this computer's own network. Its presence ping is"
  echo "WARNING: a UDP broadcast every second on every IPv4 interface that is up, and it receives on"
  echo "WARNING: port 46464. Use it only on a network where you may do that. Ctrl+C stops it."
fi
if [[ -n $dry ]]; then
  plan
  exit 0
fi

if [[ -n $build ]]; then
  bash "$MIVLET_ROOT/scripts/setup.sh" || exit 1
  mkdir -p "$MIVLET_BUILD"
  build_windows || exit 1
  if [[ $mode == lan ]]; then
    # Only the peer of the native build: the colleagues.
    cmake -S "$MIVLET_ROOT" -B "$MIVLET_BUILD/native" -G Ninja >"$MIVLET_BUILD/native.configure.log" 2>&1 &&
      cmake --build "$MIVLET_BUILD/native" -j "$JOBS" --target mivlet-peer >"$MIVLET_BUILD/native.build.log" 2>&1 ||
      { tail -20 "$MIVLET_BUILD/native.build.log"; exit 1; }
  fi
fi

headless=
if [[ -z ${DISPLAY:-} ]]; then
  ensure_display || exit 1
  headless=1
fi
mkdir -p "$run_dir"

cleanup() {
  if [[ $mode == lan ]]; then lan_destroy; else wine_stop; fi
  stop_display
}
trap cleanup EXIT
trap 'exit 0' INT TERM

case $mode in
  lan)
    lan_create "${hosts[@]}" || { echo "the test LAN could not be made" >&2; exit 1; }
    for i in 1 2; do
      lan_spawn "${hosts[$i]}" "$run_dir/colleague-${colleagues[$((i - 1))]}.log" \
        "$peer" answer --broadcasts --user "${colleagues[$((i - 1))]}" \
        -- bash "$MIVLET_ROOT/scripts/colleague.sh" "${colleagues[$((i - 1))]}"
    done
    # Mivlet on the script's own display, in a prefix that is kept.
    LAN_DISPLAYS[${hosts[0]}]=$DISPLAY
    lan_mivlet_setting "${hosts[0]}" "$run_dir" Transport REG_SZ udp ||
      { echo "could not set the UDP carrier in $run_dir/wine-${hosts[0]}" >&2; exit 1; }
    lan_wine "${hosts[0]}" "$run_dir" wine "${desktop[@]}" >"$run_dir/mivlet.log" 2>&1 &
    mivlet=$!
    echo "Test LAN: Mivlet runs on ${hosts[0]}; Ann (on ${hosts[1]}) and Bob (on ${hosts[2]}) answer every message."
    ;;
  alone)
    export WINEPREFIX=${MIVLET_RUN_PREFIX:-$MIVLET_BUILD/wineprefix-run}
    wine_env || exit 1
    wine "${desktop[@]}" &
    mivlet=$!
    ;;
  real)
    export WINEPREFIX=${MIVLET_RUN_PREFIX:-$MIVLET_BUILD/wineprefix-real}
    wine_env || exit 1
    # Every prefix of the project is made with the mailslot carrier; this
    # one is meant for the network.
    wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Transport /t REG_SZ /d udp /f >/dev/null 2>&1 ||
      { echo "could not set the UDP carrier in $WINEPREFIX" >&2; exit 1; }
    wine "${desktop[@]}" &
    mivlet=$!
    ;;
esac

shot="$MIVLET_BUILD/screenshot.png"
echo "Click the Mivlet icon in the notification area (bottom right) to open the chat window."
if [[ -n $headless ]]; then
  sleep 5
  import -window root "$shot"
  echo "Mivlet is running on the virtual display $DISPLAY."
  echo "Screenshot: $shot (renewed every 10 seconds)."
  echo "Take one yourself:  DISPLAY=$DISPLAY import -window root shot.png"
  echo "Stop with Ctrl+C."
  while kill -0 "$mivlet" 2>/dev/null; do
    # A wait, unlike sleep in the foreground, lets Ctrl+C end the script at once.
    sleep 10 &
    wait $!
    import -window root "$shot" 2>/dev/null || true
  done
else
  echo "Mivlet is running in a Wine virtual desktop on $DISPLAY. Stop with Ctrl+C."
  wait "$mivlet"
fi

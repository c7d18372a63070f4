#!/usr/bin/env bash
# A colleague on the test LAN of scripts/run.sh. `mivlet-peer answer` runs
# this for every message that reaches the colleague, with the message in
# MIVLET_USER, MIVLET_TEXT and the other MIVLET_ variables, and sends back
# what it prints. The message is only ever printed as data.
set -u
case ${1:-} in
  ann)
    printf 'Hi %s, Ann here. You wrote: "%s". I answer every message; Bob tells the time.\n' \
      "$MIVLET_USER" "$MIVLET_TEXT"
    ;;
  bob)
    printf 'Bob here. It is %s on my computer, %s. Ann repeats what you write.\n' "$(date +%H:%M)" "$MIVLET_USER"
    ;;
  *)
    echo "usage: colleague.sh ann|bob" >&2
    exit 2
    ;;
esac

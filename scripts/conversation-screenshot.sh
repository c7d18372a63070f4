#!/usr/bin/env bash
# A picture of a conversation between two copies: Mivlet.exe under Wine on
# LAB2 (kel) and LAB3 (ann) of a test LAN (needs root), a message to all
# users and direct ones both ways pressed through chat-remote, then LAB2's
# chat window brought up in its Wine virtual desktop. Writes
# docs/conversation.png, or the file given. Build first (bash scripts/test.sh).
set -uo pipefail
source "$(dirname "$0")/lib/common.sh"
source "$MIVLET_ROOT/tests/e2e/lan.sh"
shot=${1:-$MIVLET_ROOT/docs/conversation.png}
bin=$MIVLET_BUILD/win/bin
mivlet=${MIVLET_EXE:-$bin/Mivlet.exe}
out=$(mktemp -d)
trap 'lan_destroy; rm -rf "$out"' EXIT
reason=$(lan_available) || { echo "conversation-screenshot needs network namespaces: $reason"; exit 1; }
lan_create LAB2 LAB3 || exit 1
LAN_WINE_TEMPLATE=$MIVLET_BUILD/lan-wine-template
lan_wine_template "$LAN_WINE_TEMPLATE"

desktop=900x600
for host_user in LAB2:kel LAB3:ann; do
  host=${host_user%:*} user=${host_user#*:}
  lan_mivlet_setting "$host" "$out" Username REG_SZ "$user"
  lan_mivlet_setting "$host" "$out" PromptOnAllUsers REG_DWORD 0
  # A virtual desktop with a taskbar for every program of the prefix, so
  # that chat-remote meets the chat window on the same desktop.
  lan_wine "$host" "$out" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  lan_wine "$host" "$out" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$desktop" /f >/dev/null 2>&1
  lan_start_mivlet "$host" "$out" "$mivlet"
done
remote() { local host=$1; shift; lan_wine "$host" "$out" wine "$bin/chat-remote.exe" "$@"; }
listed() { remote "$1" to 2>/dev/null | grep -q "$2"; }
for _ in $(seq 150); do listed LAB2 'Lab3  (ann)' && listed LAB3 'Lab2  (kel)' && break; sleep 0.2; done

remote LAB2 send "Morning all - coffee in the kitchen at 9:30" --to "(All Users)"
sleep 0.5
remote LAB3 send "Thanks Kel! Did the printer on the second floor get fixed?" --to "Lab2  (kel)"
sleep 0.5
remote LAB2 send "Yes, see http://intranet/helpdesk/ticket/4711" --to "Lab3  (ann)"
sleep 0.5
remote LAB3 send "Great, printing the handouts now.
Ten copies enough?" --to "Lab2  (kel)"
sleep 0.5
remote LAB2 select "Lab3  (ann)"
remote LAB2 show
sleep 2
import -display "${LAN_DISPLAYS[LAB2]}" -window root -crop "$desktop+0+0" +repage "$shot"
echo "screenshot: $shot"

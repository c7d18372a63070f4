#!/usr/bin/env bash
# Links from the network under Wine, with real clicks: Mivlet.exe in a fresh
# prefix of its own (mailslot carrier: nothing leaves the computer), three
# messages from other computers written into its local mailslot, and the
# history clicked with xdotool. A file: link to a batch file runs nothing and
# asks instead (No the default); an http link opens with one click, in a
# link handler that only records. Then a copy started beside DLLs named like
# the system's, with Wine told to prefer such native DLLs, loads the system's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
E2E_LABEL=wine-links
source "$here/checks.sh"
not() { ! "$@"; }

bin=$MIVLET_BUILD/win/bin
export WINEPREFIX=$MIVLET_BUILD/wine-links-prefix
rm -rf "$WINEPREFIX"
out=$(mktemp -d)
finish() {
  wine_stop
  stop_display
  rm -rf "$WINEPREFIX" "$out"
  e2e_summary
}
trap finish EXIT

wine_env >/dev/null 2>&1 || { echo "not ok - no Wine prefix"; failed=1; exit 1; }
if [[ $(wine reg query 'HKLM\Software\Pellandor\Mivlet' /v Transport 2>/dev/null | tr -d '\r' | awk '/Transport/ {print $3}') != mailslot ]]; then
  echo "not ok - the prefix could not be set to the mailslot carrier; nothing started"; failed=1; exit 1
fi
pub=$(wine winepath -u 'C:\users\Public' 2>/dev/null | tr -d '\r')
printf '@echo ran> "C:\\users\\Public\\evil-ran.txt"\r\n' >"$pub/evil.bat"
for scheme in http https mailto; do
  wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve \
    /d 'C:\windows\system32\cmd.exe /c echo %1>>C:\users\Public\opened.txt' /f >/dev/null 2>&1
done
wine reg add 'HKLM\Software\Pellandor\Mivlet' /v Username /d kel /f >/dev/null 2>&1

# Every program of the prefix in one virtual desktop named "shell", which has
# the taskbar and the notification area: chat-remote finds the window there.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 900x600 /f >/dev/null 2>&1
wine "$bin/Mivlet.exe" >/dev/null 2>&1 &
window_answers() { wine "$bin/chat-remote.exe" to >/dev/null 2>&1; }
wait_until() { local s=$1; shift; for _ in $(seq $((s * 5))); do "$@" && return 0; sleep 0.2; done; return 1; }
check "Mivlet.exe starts in the virtual desktop" wait_until 30 window_answers
# One message per computer: a repeat from one sender would be a duplicate.
wine "$bin/mailslot-send.exe" LAB9 mallory 'new version: file:///C:/users/Public/evil.bat' >/dev/null 2>&1
wine "$bin/mailslot-send.exe" LAB8 mallory 'release notes: http://intranet.example/notes' >/dev/null 2>&1
wine "$bin/mailslot-send.exe" LAB7 ann 'thanks' >/dev/null 2>&1
history_has() { wine "$bin/chat-remote.exe" history 2>/dev/null | grep -q thanks; }
check "the three messages are in the history" wait_until 10 history_has
# The tray icon shows the window in the middle of the desktop; the links are
# on its first two lines.
xdotool mousemove 889 589 click 1
sleep 3
xdotool mousemove 500 173 click 1
sleep 3
import -window root "$out/question.png" 2>/dev/null
xdotool key Return
sleep 3
check "a click on the file: link to a batch file runs nothing" test ! -e "$pub/evil-ran.txt"
check "and opens nothing" test ! -e "$pub/opened.txt"
xdotool mousemove 520 186 click 1
opened() { [[ -f $pub/opened.txt ]] && grep -qx "http://intranet.example/notes" <(tr -d "\r " <"$pub/opened.txt"); }
check "a click on the http link opens it at once, in the recording handler" wait_until 10 opened
check "still nothing ran" test ! -e "$pub/evil-ran.txt"
[[ -n ${MIVLET_LINKS_SHOTS:-} ]] && cp "$out/question.png" "$MIVLET_LINKS_SHOTS/"
wine "$bin/Mivlet.exe" /close >/dev/null 2>&1
wine_stop

# A portable copy beside DLLs named like the system's, Wine preferring native
# DLLs where it finds them: the trace of loaded modules names System32's.
portable=$(wine winepath -u 'C:\Portable' 2>/dev/null | tr -d '\r')
mkdir -p "$portable"
cp "$MIVLET_BUILD/win/package/Mivlet.exe" "$portable/"
for dll in riched20 riched32 iphlpapi; do cp "$bin/search_probe.dll" "$portable/$dll.dll"; done
WINEDEBUG=+loaddll WINEDLLOVERRIDES="mscoree,mshtml=;riched20,riched32,iphlpapi=n,b" \
  timeout 20 wine 'C:\Portable\Mivlet.exe' >"$out/loaddll.log" 2>&1 &
loaded() { grep -q 'RICHED32.DLL' "$out/loaddll.log"; }
wait_until 20 loaded
check "Rich Edit 2.0 comes from System32" grep -q 'Loaded L"C:\\\\windows\\\\system32\\\\RICHED20.DLL"' "$out/loaddll.log"
check "Rich Edit 1.0 comes from System32" grep -q 'Loaded L"C:\\\\windows\\\\system32\\\\RICHED32.DLL"' "$out/loaddll.log"
check "no DLL of the program's folder is loaded" not grep -qi 'Loaded L"C:\\\\Portable\\\\[^"]*\.dll"' "$out/loaddll.log"
wine 'C:\Portable\Mivlet.exe' /close >/dev/null 2>&1
wait

#!/usr/bin/env bash
# The installer as an administrator meets it, under Wine in a fresh prefix of
# its own: a silent installation and everything it puts in place, the program
# started from the Start menu and at logon, a silent upgrade over the running
# copy, the silent uninstaller (settings and the log stay) and the one asked
# to remove the settings too. Wine's netsh does nothing, so the firewall rule
# is checked as the command the installer ran, in its log; so are the folder's
# permissions (icacls), and the folders the installer refuses.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
E2E_LABEL=wine-installer
source "$here/../e2e/checks.sh"

bin=$MIVLET_BUILD/win/bin
setup=$(ls "$bin"/Mivlet-Setup-*.exe 2>/dev/null | head -1)
version=${setup##*/Mivlet-Setup-}
version=${version%.exe}
pe_python=/usr/bin/python3   # Debian's, which has python3-pefile

export WINEPREFIX=$MIVLET_BUILD/wine-installer-prefix
rm -rf "$WINEPREFIX"

finish() {
  wine_stop
  stop_display
  rm -rf "$WINEPREFIX"
  e2e_summary
}
trap finish EXIT

settings_key='HKLM\Software\Pellandor\Mivlet'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mivlet'
instdir_win='C:\Program Files\Mivlet'
program_win="$instdir_win\\Mivlet.exe"

win_to_unix() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# reg_value KEY NAME: the value's data; fails when it is not there.
reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$out" | grep . || return 1
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

# The live processes of this prefix whose command line starts with TEXT.
prefix_pids() {
  local text=$1 p state
  for p in /proc/[0-9]*; do
    grep -qz "^WINEPREFIX=$WINEPREFIX\$" "$p/environ" 2>/dev/null || continue
    state=$(awk '{print $3}' "$p/stat" 2>/dev/null)
    [[ $state == Z || -z $state ]] && continue
    [[ $(tr '\0' ' ' <"$p/cmdline" 2>/dev/null) == "$text"* ]] && echo "${p#/proc/}"
  done
}
installed_pids() { prefix_pids "$program_win"; }

not() { ! "$@"; }
holds() { [[ $1 == *"$2"* ]]; }  # holds TEXT PART
process_gone() { [[ ! -d /proc/$1 || $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }

# wait_until SECONDS COMMAND...: true as soon as COMMAND is.
wait_until() {
  local seconds=$1; shift
  for _ in $(seq $((seconds * 5))); do "$@" && return 0; sleep 0.2; done
  "$@"
}
one_installed_copy() { [[ $(installed_pids | wc -l) -eq 1 ]]; }
no_installed_copy() { [[ -z $(installed_pids) ]]; }
# The running copy's chat window answers the query that finds it.
window_answers() { wine "$bin/chat-remote.exe" to >/dev/null 2>&1; }

# The uninstaller runs on from a copy of itself in the temporary folder.
uninstall_ended() { [[ -z $(prefix_pids 'C:\users') && ! -e $instdir/Uninstall.exe ]]; }

version_string() {  # version_string FILE NAME: a string of FILE's version resource
  "$pe_python" - "$1" "$2" <<'EOF'
import sys, pefile
pe = pefile.PE(sys.argv[1])
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            print(table.entries.get(sys.argv[2].encode(), b"").decode())
EOF
}
manifest() {  # manifest FILE: the text of FILE's manifest resource
  "$pe_python" - "$1" <<'EOF'
import sys, pefile
pe = pefile.PE(sys.argv[1])
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.id == 24:  # RT_MANIFEST
        data = kind.directory.entries[0].directory.entries[0].data.struct
        print(pe.get_data(data.OffsetToData, data.Size).decode())
EOF
}
has_debug_sections() {
  "$pe_python" -c 'import sys, pefile; sys.exit(0 if any(s.Name.startswith(b".debug") for s in pefile.PE(sys.argv[1]).sections) else 1)' "$1"
}
# A shell link names its target in ANSI or UTF-16 text.
link_names() {
  "$pe_python" -c 'import sys; d=open(sys.argv[1],"rb").read(); t=sys.argv[2]; sys.exit(0 if t.encode() in d or t.encode("utf-16-le") in d else 1)' "$1" "$2"
}

if [[ -z $setup ]]; then
  echo "not ok - no installer in $bin (the Windows build makes it)"; failed=1; exit 1
fi

# Never a broadcast from this machine: the fresh prefix is set to the local
# mailslot carrier (wine_env) before the program can start the first time.
wine_env >/dev/null 2>&1
if [[ $(reg_value "$settings_key" Transport) != mailslot ]]; then
  echo "not ok - the test prefix could not be set to the mailslot carrier; nothing started"; failed=1; exit 1
fi
windows=$(win_to_unix 'C:\windows')
instdir=$(win_to_unix "$instdir_win")
startmenu=$(win_to_unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
temp=$(win_to_unix "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')")

# --- silent installation
wine "$setup" /S
check "the silent installation ends with exit code 0" equals $? 0
check "the installer's own version resource tells version $version" \
  equals "$(version_string "$setup" ProductVersion)" "$version"
check "Mivlet.exe, Uninstall.exe and Install.log are in $instdir_win" \
  test -f "$instdir/Mivlet.exe" -a -f "$instdir/Uninstall.exe" -a -f "$instdir/Install.log"
check "the installed program is stripped" not has_debug_sections "$instdir/Mivlet.exe"
check "the installed program's version resource tells version $version, product Mivlet, company Pellandor" \
  equals "$(version_string "$instdir/Mivlet.exe" ProductVersion)/$(version_string "$instdir/Mivlet.exe" FileVersion)/$(version_string "$instdir/Mivlet.exe" ProductName)/$(version_string "$instdir/Mivlet.exe" CompanyName)" \
  "$version/$version/Mivlet/Pellandor"
text=$(manifest "$instdir/Mivlet.exe")
check "the installed program's manifest: version $version.0, run as invoker, per-monitor DPI aware, Windows 7 to 11 supported" equals \
  "$(grep -c -e "name=\"Pellandor.Mivlet\" version=\"$version.0\"" -e 'level="asInvoker"' -e '>PerMonitorV2, PerMonitor<' \
       -e '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' -e '35138b9a-5d96-4fbd-8e2d-a2440225f93a' <<<"$text")" 5
check "the all-users Start menu has Mivlet.lnk, which names the installed program" \
  link_names "$startmenu/Mivlet.lnk" "$program_win"
check "HKLM's Run key starts the installed program at every logon" \
  equals "$(reg_value "$run_key" Mivlet)" "\"$program_win\""
check "the uninstall entry names Mivlet $version by Pellandor and its uninstaller, silent too" equals \
  "$(for v in DisplayName DisplayVersion Publisher InstallLocation UninstallString QuietUninstallString; do reg_value "$uninstall_key" $v; done)" \
  "$(printf '%s\n' Mivlet "$version" Pellandor "$instdir_win" "\"$instdir_win\\Uninstall.exe\"" "\"$instdir_win\\Uninstall.exe\" /S")"
log=$(tr -d '\r' <"$instdir/Install.log" 2>/dev/null)
firewall_rule() {  # firewall_rule PROGRAM REMOTEIP: the netsh command line of the rule, as logged
  echo "Running: \"C:\\windows\\system32\\netsh.exe\" advfirewall firewall add rule name=\"Mivlet\" dir=in action=allow program=\"$1\" protocol=UDP localport=46464 remoteip=$2 profile=domain,private"
}
# permission_commands FOLDER: the icacls command lines and exit codes, as logged
permission_commands() {
  local icacls='"C:\windows\system32\icacls.exe"'
  printf '%s\n' "Running: $icacls \"$1\" /setowner *S-1-5-32-544 /Q" "icacls exit code 0" \
    "Running: $icacls \"$1\" /reset /Q" "icacls exit code 0" \
    "Running: $icacls \"$1\" /inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX /Q" \
    "icacls exit code 0"
}
check "the installer adds the firewall rule for UDP port 46464 from the local subnet to the installed program (netsh, in its log)" \
  grep -qF -- "$(firewall_rule "$program_win" localsubnet)" <<<"$log"
check "the installer protects the program's folder with icacls, each command and its exit code in its log" \
  holds "$log" "$(permission_commands "$instdir_win")"
check "a fresh silent installation starts nothing (it may run as another account)" no_installed_copy

# --- the program from its installed place
wine start "$(wine winepath -w "$startmenu/Mivlet.lnk" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1
check "the Start menu entry starts the installed program" wait_until 20 one_installed_copy
check "its chat window answers" wait_until 10 window_answers
wine "$program_win" /close
check "Mivlet.exe /close ends it (exit code 0)" equals $? 0
check "no installed copy runs after /close" no_installed_copy

wine wineboot >/dev/null 2>&1   # a logon: Wine runs the Run key's programs
check "at logon the installed program starts from the Run key" wait_until 20 one_installed_copy
check "its chat window answers" wait_until 10 window_answers
old_pid=$(installed_pids)

# --- upgrade over the running copy
wine "$setup" /S
check "the silent upgrade over the running copy ends with exit code 0" equals $? 0
log=$(tr -d '\r' <"$instdir/Install.log" 2>/dev/null)
check "the upgrade closed the running copy first (its log)" grep -qx "Closed the running copy of Mivlet." <<<"$log"
check "the copy that ran has ended" process_gone "$old_pid"
check "the upgrade starts the new copy from the installed place" wait_until 20 one_installed_copy
check "its chat window answers" wait_until 10 window_answers
check "it is a new process" not equals "$(installed_pids)" "$old_pid"

# --- silent uninstallation: everything goes but the settings and the log
printf 'a message log\r\n' >"$windows/mivlet.log"
rm -f "$temp/Mivlet-Uninstall.log"
wine "$instdir_win\\Uninstall.exe" /S
check "the silent uninstaller ends with exit code 0" equals $? 0
wait_until 30 uninstall_ended
check "the uninstaller closed the running copy" wait_until 10 no_installed_copy
check "the program's folder is gone" test ! -e "$instdir"
check "the Start menu entry is gone" test ! -e "$startmenu/Mivlet.lnk"
check "the Run value is gone" not reg_value "$run_key" Mivlet
check "the uninstall entry is gone" not reg_key_exists "$uninstall_key"
check "the uninstaller deletes the firewall rule (netsh, in its log)" grep -qF -- \
  "Running: \"C:\\windows\\system32\\netsh.exe\" advfirewall firewall delete rule name=\"Mivlet\"" "$temp/Mivlet-Uninstall.log"
check "the settings stay" equals "$(reg_value "$settings_key" Transport)" mailslot
check "the message log stays" test -f "$windows/mivlet.log"

# --- asked to, the uninstaller removes the settings and the log too
wine "$setup" /S
check "installing again ends with exit code 0" equals $? 0
# What a standard user's copy keeps: settings in the user's key, the log in
# the local application data.
user_settings_key='HKCU\Software\Pellandor\Mivlet'
wine reg add "$user_settings_key" /v Username /t REG_SZ /d kel /f >/dev/null 2>&1
appdata_log=$(win_to_unix "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\Mivlet\mivlet.log")
mkdir -p "$(dirname "$appdata_log")" && printf 'a message log\r\n' >"$appdata_log"
check "a standard user's log is in place, in the local application data" test -f "$appdata_log"
wine "$instdir_win\\Uninstall.exe" /S /REMOVESETTINGS
wait_until 30 uninstall_ended
check "uninstalling with /REMOVESETTINGS removes the program's folder" test ! -e "$instdir"
check "and the settings" not reg_key_exists "$settings_key"
check "and the message log" test ! -e "$windows/mivlet.log"
check "and the uninstalling user's own settings" not reg_key_exists "$user_settings_key"
check "and their message log in the local application data" test ! -e "$appdata_log"
check "nothing of it runs" no_installed_copy

# --- a custom folder: protected as well; /ANYREMOTE opens the rule to any address
custom_win='C:\Apps\Mivlet'
custom=$(win_to_unix "$custom_win")
wine "$setup" /S /ANYREMOTE "/D=$custom_win"
check "the silent installation into $custom_win ends with exit code 0" equals $? 0
log=$(tr -d '\r' <"$custom/Install.log" 2>/dev/null)
check "it protects $custom_win with icacls, each command and its exit code in its log" \
  holds "$log" "$(permission_commands "$custom_win")"
check "with /ANYREMOTE the firewall rule takes any remote address" \
  grep -qF -- "$(firewall_rule "$custom_win\\Mivlet.exe" any)" <<<"$log"
wine "$custom_win\\Uninstall.exe" /S
wait_until 30 test ! -e "$custom/Uninstall.exe"

# --- a folder that holds what is not Mivlet's is refused, a drive's root never used
foreign_win='C:\Apps\Shared'
foreign=$(win_to_unix "$foreign_win" 2>/dev/null)
mkdir -p "$foreign" && printf 'a colleague\x27s notes\r\n' >"$foreign/notes.txt"
wine "$setup" /S "/D=$foreign_win"
check "a folder that holds other files is refused (exit code 2)" equals $? 2
check "and nothing is installed there" test ! -e "$foreign/Mivlet.exe" -a ! -e "$foreign/Install.log"
# NSIS itself never takes a drive's root (it keeps its default folder then);
# the installer's own check refuses it as well.
wine "$setup" /S '/D=C:\'
root=$(win_to_unix 'C:\')
check "nothing is installed into the root of a drive" test ! -e "$root/Mivlet.exe" -a ! -e "$root/Install.log"

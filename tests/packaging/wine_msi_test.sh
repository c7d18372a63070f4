#!/usr/bin/env bash
# The MSI package as a deployment tool runs it, under Wine in a fresh prefix
# of its own: msiexec /i /qn and everything it puts in place (checked as the
# NSIS runner checks them), the program started from the Start menu and at
# logon, a major upgrade from an older package over the running copy, and
# msiexec /x, after which the program, its Start menu entry, its Run value
# and its uninstall entry are gone and the settings stay. Wine's netsh does
# nothing, so the firewall rule is checked as the command Windows Installer
# ran, in Wine's trace of msiexec.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
E2E_LABEL=wine-msi
source "$here/../e2e/checks.sh"

bin=$MIVLET_BUILD/win/bin
stage=$MIVLET_BUILD/win/package
msi=$(ls "$bin"/Mivlet-[0-9]*.msi 2>/dev/null | head -1)
version=${msi##*/Mivlet-}
version=${version%.msi}
pe_python=/usr/bin/python3   # Debian's, which has python3-pefile

export WINEPREFIX=$MIVLET_BUILD/wine-msi-prefix
rm -rf "$WINEPREFIX"
work=$(mktemp -d)

finish() {
  wine_stop
  stop_display
  rm -rf "$WINEPREFIX" "$work"
  e2e_summary
}
trap finish EXIT

settings_key='HKLM\Software\Pellandor\Mivlet'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
instdir_win='C:\Program Files\Mivlet'
program_win="$instdir_win\\Mivlet.exe"

win_to_unix() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$out" | grep . || return 1
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }
product_code() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }'; }

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
process_gone() { [[ ! -d /proc/$1 || $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
wait_until() {
  local seconds=$1; shift
  for _ in $(seq $((seconds * 5))); do "$@" && return 0; sleep 0.2; done
  "$@"
}
one_installed_copy() { [[ $(installed_pids | wc -l) -eq 1 ]]; }
no_installed_copy() { [[ -z $(installed_pids) ]]; }
window_answers() { wine "$bin/chat-remote.exe" to >/dev/null 2>&1; }
version_string() {
  "$pe_python" - "$1" "$2" <<'PY'
import sys, pefile
pe = pefile.PE(sys.argv[1])
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            print(table.entries.get(sys.argv[2].encode(), b"").decode())
PY
}
link_names() {
  "$pe_python" -c 'import sys; d=open(sys.argv[1],"rb").read(); t=sys.argv[2]; sys.exit(0 if t.encode() in d or t.encode("utf-16-le") in d else 1)' "$1" "$2"
}
# msiexec ARGS...: Windows Installer with its trace, which names every
# program a custom action starts, in $work/msiexec.trace.
msiexec() {
  WINEDEBUG=+msi wine msiexec "$@" 2>"$work/msiexec.trace"
}
ran_netsh() {  # ran_netsh ARGS: the trace shows netsh.exe started with ARGS
  local traced  # as the trace writes strings: backslashes and quotes escaped
  traced=$(sed 's/\\/\\\\/g; s/"/\\"/g' <<<"$1")
  grep -qaF -- "exe L\"C:\\\\windows\\\\system32\\\\netsh.exe\" arg L\"$traced\"" "$work/msiexec.trace"
}
msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v p="$2" '$1 == p { print $2 }'; }
# Windows Installer puts the shortcut of a per-machine package (ALLUSERS 1)
# into the all-users Start menu; Wine's puts it into the user's.
start_menu_link() {
  local link
  for link in "$startmenu/Mivlet.lnk" "$user_startmenu/Mivlet.lnk"; do
    [[ -e $link ]] && { echo "$link"; return 0; }
  done
  return 1
}

if [[ -z $msi ]]; then
  echo "not ok - no MSI package in $bin (the Windows build makes it)"; failed=1; exit 1
fi
if ! command -v wixl >/dev/null; then
  echo "not ok - wixl is missing (scripts/setup.sh installs it)"; failed=1; exit 1
fi

# Never a broadcast from this machine: the fresh prefix is set to the local
# mailslot carrier (wine_env) before the program can start the first time.
wine_env >/dev/null 2>&1
if [[ $(reg_value "$settings_key" Transport) != mailslot ]]; then
  echo "not ok - the test prefix could not be set to the mailslot carrier; nothing started"; failed=1; exit 1
fi
instdir=$(win_to_unix "$instdir_win")
startmenu=$(win_to_unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
user_startmenu=$(win_to_unix "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\Microsoft\Windows\Start Menu\Programs")

# The older package of the upgrade: the same source at a lower version.
old_version=0.9.0
old_msi=$work/Mivlet-$old_version.msi
cp "$stage/Mivlet.ico" "$work/" 2>/dev/null || cp "$MIVLET_ROOT/resources/MivletBig.ico" "$work/Mivlet.ico"
(cd "$stage" && wixl -a x64 -D Version=$old_version -D Program=Mivlet.exe -D ReadMe=ReadMe.txt -D Icon=Mivlet.ico \
   -o "$old_msi" "$MIVLET_ROOT/packaging/msi/Mivlet.wxs" 2>/dev/null)
check "wixl builds an older package $old_version from the same source" test -s "$old_msi"

# --- installation of the older package, silent, for the whole computer
msiexec /i "$(wine winepath -w "$old_msi" 2>/dev/null | tr -d '\r')" /qn
check "msiexec /i of the $old_version package ends with exit code 0" equals $? 0
old_code=$(product_code "$old_msi")
check "its uninstall entry names Mivlet $old_version by Pellandor" equals \
  "$(reg_value "$uninstall_root\\$old_code" DisplayName)/$(reg_value "$uninstall_root\\$old_code" DisplayVersion)/$(reg_value "$uninstall_root\\$old_code" Publisher)" \
  "Mivlet/$old_version/Pellandor"
check "a silent installation starts nothing" no_installed_copy
check "the package installs per machine (ALLUSERS 1) into Program Files" \
  equals "$(msi_property "$old_msi" ALLUSERS)/$(test -f "$instdir/Mivlet.exe" && echo installed)" "1/installed"

# --- the program from its installed place, then at logon
wine start "$(wine winepath -w "$(start_menu_link)" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1
check "the Start menu entry starts the installed program" wait_until 20 one_installed_copy
check "its chat window answers" wait_until 10 window_answers
wine "$program_win" /close
check "Mivlet.exe /close ends it" wait_until 10 no_installed_copy
wine wineboot >/dev/null 2>&1   # a logon: Wine runs the Run key's programs
check "at logon the installed program starts from the Run key" wait_until 20 one_installed_copy
check "its chat window answers" wait_until 10 window_answers
old_pid=$(installed_pids)

# --- major upgrade to this build's package over the running copy
msiexec /i "$(wine winepath -w "$msi" 2>/dev/null | tr -d '\r')" /qn
check "msiexec /i of the $version package over $old_version ends with exit code 0" equals $? 0
code=$(product_code "$msi")
check "the upgrade closed the running copy" wait_until 10 process_gone "$old_pid"
check "the older version's uninstall entry is gone" not reg_key_exists "$uninstall_root\\$old_code"
check "the uninstall entry names Mivlet $version by Pellandor" equals \
  "$(reg_value "$uninstall_root\\$code" DisplayName)/$(reg_value "$uninstall_root\\$code" DisplayVersion)/$(reg_value "$uninstall_root\\$code" Publisher)" \
  "Mivlet/$version/Pellandor"
check "Mivlet.exe and ReadMe.txt are in $instdir_win" test -f "$instdir/Mivlet.exe" -a -f "$instdir/ReadMe.txt"
check "the installed program is this build's stripped one" cmp -s "$instdir/Mivlet.exe" "$stage/Mivlet.exe"
check "its version resource tells version $version" equals "$(version_string "$instdir/Mivlet.exe" ProductVersion)" "$version"
check "the Start menu has Mivlet.lnk, which names the installed program" \
  link_names "$(start_menu_link)" "$program_win"
check "HKLM's Run key starts the installed program at every logon" \
  equals "$(reg_value "$run_key" Mivlet)" "\"$program_win\""
check "the package deletes an older firewall rule and adds the rule for UDP port 46464 to the installed program" \
  ran_netsh "advfirewall firewall add rule name=\"Mivlet\" dir=in action=allow program=\"$program_win\" protocol=UDP localport=46464 profile=domain,private"
wine wineboot >/dev/null 2>&1
check "at the next logon the new program starts" wait_until 20 one_installed_copy

# --- removal: everything goes but the settings
msiexec /x "$code" /qn
check "msiexec /x ends with exit code 0" equals $? 0
check "it closed the running copy" wait_until 10 no_installed_copy
check "the program's folder is gone" test ! -e "$instdir"
check "the Start menu entry is gone" not start_menu_link
check "the Run value is gone" not reg_value "$run_key" Mivlet
check "the uninstall entry is gone" not reg_key_exists "$uninstall_root\\$code"
check "the removal deletes the firewall rule" ran_netsh 'advfirewall firewall delete rule name="Mivlet"'
check "the settings stay" equals "$(reg_value "$settings_key" Transport)" mailslot

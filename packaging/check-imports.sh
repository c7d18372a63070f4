#!/bin/bash
# check-imports.sh OBJDUMP PROGRAM...: fails when a program imports, in its
# import table, a DLL that Windows could take from the program's own folder.
# The loader maps the Known DLLs from System32 whatever lies beside the
# program; Common Controls comes from the side-by-side store when the
# program's manifest asks for version 6. Everything else must be loaded at
# run time from System32 (LoadLibraryEx with LOAD_LIBRARY_SEARCH_SYSTEM32).
# Each program must also be built for address-space randomisation and
# non-executable data (DYNAMIC_BASE, NX_COMPAT), as NSIS 3 builds its stub.
set -u
objdump=$1; shift
known=" advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll imagehlp.dll
 imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll
 sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll ntdll.dll "
status=0
for program in "$@"; do
  headers=$("$objdump" -p "$program")
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
  for flag in DYNAMIC_BASE NX_COMPAT; do
    if ! grep -qw "$flag" <<<"$headers"; then
      echo "check-imports: $(basename "$program") is not built with $flag" >&2
      status=1
    fi
  done
  if [[ -z $imports ]]; then
    echo "check-imports: $program: no import table read" >&2
    status=1
    continue
  fi
  for dll in $imports; do
    [[ $known == *" $dll "* || $dll == api-ms-win-* || $dll == ext-ms-win-* ]] && continue
    if [[ $dll == comctl32.dll ]] && grep -aq 'Microsoft.Windows.Common-Controls' "$program"; then continue; fi
    echo "check-imports: $(basename "$program") imports $dll, which Windows may load from the program's folder" >&2
    status=1
  done
  echo "check-imports: $(basename "$program"): $(echo $imports)"
done
exit $status

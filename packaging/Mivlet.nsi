; Mivlet's installer. The Windows build makes it (packaging/CMakeLists.txt):
;   makensis -DVERSION=1.0.0 -DPROGRAM=Mivlet.exe -DICON=Mivlet.ico
;            -DOUTFILE=Mivlet-Setup-1.0.0.exe Mivlet.nsi
; One installation per computer, for every user: the program in Program
; Files, a Start menu entry, a start at every user's logon and a Windows
; Firewall rule for the UDP port. /S installs silently; a copy that runs is
; closed first and started again afterwards. The uninstaller takes all of it
; away but the settings and the message log, unless it is asked to
; (/REMOVESETTINGS, or the box on its components page).
; The program's folder is writable by administrators and SYSTEM only, since
; the Run key starts what lies there at every user's logon; a folder that
; Setup cannot make so is refused. The firewall rule takes datagrams from
; the local subnet only, unless /ANYREMOTE asks for any address (networks
; joined by routers).

!macro Required NAME
  !ifndef ${NAME}
    !error "${NAME} must be defined on the command line"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required PROGRAM
!insertmacro Required ICON
!insertmacro Required OUTFILE

Unicode true
; A 64-bit installer for the 64-bit program: it sees Program Files and the
; registry without redirection, and runs where 32-bit programs cannot (a
; Wine without its 32-bit part).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mivlet"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Pellandor\Mivlet"
!define FIREWALL_RULE "Mivlet"
; The port of the udp transport when its UdpPort setting says nothing else.
!define DEFAULT_UDP_PORT 46464
; Well-known security identifiers, the same in every language of Windows:
; Administrators, SYSTEM and Users.
!define SID_ADMINISTRATORS "*S-1-5-32-544"
!define SID_SYSTEM "*S-1-5-18"
!define SID_USERS "*S-1-5-32-545"
; Exit codes of "Mivlet.exe /close".
!define CLOSE_DONE 0
!define CLOSE_NONE_RUNNING 1

Name "Mivlet"
Caption "Mivlet ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Mivlet"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Mivlet ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var Log          ; handle of Install.log
Var WasRunning   ; 1 when a running copy was closed for the upgrade
Var RemoteIp     ; the firewall rule's remoteip: localsubnet, or any with /ANYREMOTE
Var Protection   ; what the permission commands did, for Install.log
Var ProtectionFailed  ; 1 when one of them failed

; ---------------------------------------------------------------- pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Mivlet is a messenger for the computers of a local network, without a server.$\r$\n$\r$\nSetup installs Mivlet ${VERSION} for all users of this computer. It starts at every user's logon behind its icon in the notification area, and Windows Firewall lets it receive messages on UDP port ${DEFAULT_UDP_PORT} from the local subnet on domain and private networks.$\r$\n$\r$\nA copy of Mivlet that is running now is closed and started again when Setup has finished."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
; The details stay until Next: what Setup did, firewall rule included.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Mivlet now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartMivlet
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Mivlet"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Pellandor"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Mivlet ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Pellandor"

; ---------------------------------------------------------------- helpers

; Every step goes to the details list and to Install.log, which an
; administrator reads after a silent installation.
!macro Log TEXT
  DetailPrint "${TEXT}"
  FileWrite $Log "${TEXT}$\r$\n"
!macroend

; Runs netsh with ARGS and logs the command line, its exit code and what it
; printed.
!macro Netsh ARGS
  StrCpy $R0 '"$SYSDIR\netsh.exe" ${ARGS}'
  !insertmacro Log "Running: $R0"
  nsExec::ExecToStack $R0
  Pop $R1
  Pop $R2
  !insertmacro Log "netsh exit code $R1"
  ${If} $R2 != ""
    !insertmacro Log "$R2"
  ${EndIf}
!macroend

; Runs icacls from System32 with ARGS on the program's folder; the command
; line and its exit code are kept in $Protection for Install.log, which is
; opened only once the folder is protected. A non-zero exit code sets
; $ProtectionFailed.
!macro Icacls ARGS
  StrCpy $R0 '"$SYSDIR\icacls.exe" "$INSTDIR" ${ARGS}'
  DetailPrint "Running: $R0"
  nsExec::ExecToStack $R0
  Pop $R1
  Pop $R2
  StrCpy $Protection "$ProtectionRunning: $R0$\r$\nicacls exit code $R1$\r$\n"
  ${If} $R1 != 0
    StrCpy $ProtectionFailed 1
  ${EndIf}
!macroend

; Closes the copy that runs in this session with "PROGRAM /close", which
; waits until its process has gone, so that its file can be replaced or
; removed. Sets $WasRunning; aborts when the copy does not end.
!macro CloseRunningCopy UN PROGRAM
Function ${UN}CloseRunningCopy
  StrCpy $WasRunning 0
  ${IfNot} ${FileExists} "${PROGRAM}"
    Return
  ${EndIf}
  retry:
  ExecWait '"${PROGRAM}" /close' $0
  ${If} $0 == ${CLOSE_DONE}
    StrCpy $WasRunning 1
    !insertmacro Log "Closed the running copy of Mivlet."
  ${ElseIf} $0 == ${CLOSE_NONE_RUNNING}
    !insertmacro Log "No copy of Mivlet was running."
  ${Else}
    !insertmacro Log "The running copy of Mivlet did not end (${PROGRAM} /close gave $0)."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Mivlet is still running.  Choose Exit in the menu of its icon in the notification area, then Retry." /SD IDCANCEL IDRETRY retry
    Abort "Mivlet is still running."
  ${EndIf}
FunctionEnd
!macroend

; As the user who is logged on, not with the installer's elevated rights:
; Explorer starts it. A copy started elevated could not be reached by the
; user's own second start.
Function StartMivlet
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Mivlet.exe"'
FunctionEnd

; Program Files, the machine's Run key and the firewall need an
; administrator; without one, Setup says so instead of failing half-way.
; Exit code 740 is ERROR_ELEVATION_REQUIRED.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "Mivlet is set up for all users of this computer, which needs an administrator.  Start Setup again as an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdministrator
  StrCpy $RemoteIp "localsubnet"
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ANYREMOTE" $1
  ${IfNot} ${Errors}
    StrCpy $RemoteIp "any"
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- install

!insertmacro CloseRunningCopy "" "$PLUGINSDIR\Mivlet.exe"

; The new program closes the old one: any version answers its query. Out of
; the section, so that this copy does not count in the space required.
Function CloseOldCopy
  InitPluginsDir
  File "/oname=$PLUGINSDIR\Mivlet.exe" "${PROGRAM}"
  Call CloseRunningCopy
FunctionEnd

; Refuses a folder whose permissions Setup cannot answer for: a network
; folder (its server's permissions rule), the root of a drive, or a folder
; that holds anything but an earlier installation's files: Setup would
; change the permissions of what is not its own.
Function CheckFolder
  StrCpy $0 $INSTDIR 2
  StrLen $1 $INSTDIR
  ${If} $0 == "\\"
  ${OrIf} $1 < 4
    StrCpy $0 "Setup installs Mivlet only into a folder of its own on a local drive, not into $INSTDIR."
    Goto refuse
  ${EndIf}
  ClearErrors
  FindFirst $2 $3 "$INSTDIR\*.*"
  ${DoUntil} ${Errors}
    ${If} $3 != "."
    ${AndIf} $3 != ".."
    ${AndIf} $3 != "Mivlet.exe"
    ${AndIf} $3 != "Uninstall.exe"
    ${AndIf} $3 != "Install.log"
      FindClose $2
      StrCpy $0 "$INSTDIR holds files that are not Mivlet's ($3).  Setup installs Mivlet only into a new or empty folder, or over an earlier installation."
      Goto refuse
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\$3\*.*"
    ${AndIf} $3 != "."
    ${AndIf} $3 != ".."
      FindClose $2
      StrCpy $0 "$INSTDIR holds a folder $3.  Setup installs Mivlet only into a new or empty folder, or over an earlier installation."
      Goto refuse
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2
  Return
  refuse:
  DetailPrint "$0"
  MessageBox MB_ICONSTOP "$0" /SD IDOK
  Abort "$0"
FunctionEnd

; Administrators and SYSTEM full control, users read and execute, nothing
; inherited from the parent, and Administrators the owner, so that the user
; who made the folder cannot grant himself write access again. What was set
; on the folder before goes (/reset), and the files that Setup puts there
; afterwards inherit these permissions.
Function ProtectFolder
  StrCpy $Protection ""
  StrCpy $ProtectionFailed 0
  !insertmacro Icacls '/setowner ${SID_ADMINISTRATORS} /Q'
  ${If} $ProtectionFailed == 0
    !insertmacro Icacls '/reset /Q'
  ${EndIf}
  ${If} $ProtectionFailed == 0
    !insertmacro Icacls '/inheritance:r /grant:r ${SID_ADMINISTRATORS}:(OI)(CI)F ${SID_SYSTEM}:(OI)(CI)F ${SID_USERS}:(OI)(CI)RX /Q'
  ${EndIf}
FunctionEnd

Section "Mivlet" SecProgram
  SectionIn RO
  SetShellVarContext all
  Call CheckFolder
  CreateDirectory "$INSTDIR"
  Call ProtectFolder
  ; A file left from before keeps its own permissions when written over:
  ; the new ones are made afresh, inheriting the folder's.
  Delete "$INSTDIR\Install.log"
  SetOutPath "$INSTDIR"
  FileOpen $Log "$INSTDIR\Install.log" w
  !insertmacro Log "Mivlet ${VERSION} into $INSTDIR"
  FileWrite $Log "$Protection"
  ${If} $ProtectionFailed == 1
    StrCpy $0 "Setup could not set the permissions of $INSTDIR: users could change what every user starts at logon.  Mivlet is not installed."
    !insertmacro Log "$0"
    FileClose $Log
    MessageBox MB_ICONSTOP "$0" /SD IDOK
    Abort "$0"
  ${EndIf}
  !insertmacro Log "Permissions of $INSTDIR: Administrators and SYSTEM full control, Users read and execute, nothing inherited."

  Call CloseOldCopy

  ClearErrors
  Delete "$INSTDIR\Mivlet.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetOverwrite try
  File "/oname=Mivlet.exe" "${PROGRAM}"
  ${If} ${Errors}
    !insertmacro Log "Could not write $INSTDIR\Mivlet.exe."
    FileClose $Log
    Abort "Could not write $INSTDIR\Mivlet.exe."
  ${EndIf}
  SetOverwrite on
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  !insertmacro Log "Wrote $INSTDIR\Mivlet.exe and $INSTDIR\Uninstall.exe."

  CreateShortCut "$SMPROGRAMS\Mivlet.lnk" "$INSTDIR\Mivlet.exe" "" "$INSTDIR\Mivlet.exe" 0 SW_SHOWNORMAL "" \
    "Chat with the other computers of the local network"
  !insertmacro Log "Start menu entry: $SMPROGRAMS\Mivlet.lnk"

  ; HKLM's Run key starts it at every user's logon; the program itself sees
  ; to it that one copy runs.
  WriteRegStr HKLM "${RUN_KEY}" "Mivlet" '"$INSTDIR\Mivlet.exe"'
  !insertmacro Log "Started at every logon: HKLM\${RUN_KEY} Mivlet"

  ; The port is the one the program will use: an administrator's UdpPort
  ; setting, else the default. Not on public networks: there a stranger's
  ; computer could write into the chat. From the local subnet only, as the
  ; presence pings reach no further; /ANYREMOTE for networks joined by
  ; routers, whose copies send across them (UdpExtraTargets).
  ReadRegDWORD $0 HKLM "${SETTINGS_KEY}" "UdpPort"
  ${If} $0 < 1
  ${OrIf} $0 > 65535
    StrCpy $0 ${DEFAULT_UDP_PORT}
  ${EndIf}
  !insertmacro Netsh 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  !insertmacro Netsh 'advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\Mivlet.exe" protocol=UDP localport=$0 remoteip=$RemoteIp profile=domain,private description="Mivlet receives messages from the other computers of the local network."'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Mivlet"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pellandor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Mivlet.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  !insertmacro Log "Uninstall entry: HKLM\${UNINSTALL_KEY}"

  ; A silent upgrade puts back what it closed; otherwise the finish page
  ; offers the start.
  ${If} ${Silent}
  ${AndIf} $WasRunning == 1
    Call StartMivlet
    !insertmacro Log "Started Mivlet again."
  ${EndIf}
  !insertmacro Log "Done."
  FileClose $Log
SectionEnd

; ---------------------------------------------------------------- uninstall

!insertmacro CloseRunningCopy "un." "$INSTDIR\Mivlet.exe"

Section "un.Mivlet" UnSecProgram
  SectionIn RO
  SetShellVarContext all
  ; The log goes to the temporary folder: the program's folder goes.
  FileOpen $Log "$TEMP\Mivlet-Uninstall.log" w
  Call un.CloseRunningCopy
  Delete "$SMPROGRAMS\Mivlet.lnk"
  DeleteRegValue HKLM "${RUN_KEY}" "Mivlet"
  !insertmacro Netsh 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  Delete "$INSTDIR\Mivlet.exe"
  Delete "$INSTDIR\Install.log"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; After the running copy has ended: on its way out it stores its window
; position, which would bring the settings back.
Section /o "un.Settings and message log" UnSecSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Pellandor"
  Delete "$WINDIR\mivlet.log"
  Delete "$WINDIR\mivlet-old.ini"
  ; Where a standard user keeps them: only the profile of the user who
  ; uninstalls is within reach; other users' stay in theirs.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Pellandor"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Mivlet\mivlet.log"
  RMDir "$LOCALAPPDATA\Mivlet"
  SetShellVarContext all
  !insertmacro Log "Removed the settings and the message log."
SectionEnd

Section "-un.Finish"
  !insertmacro Log "Done."
  FileClose $Log
SectionEnd

Function un.onInit
  !insertmacro RequireAdministrator
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd

; Mivlet's installer. The Windows build makes it (packaging/CMakeLists.txt):
;   makensis -DVERSION=1.0.0 -DPROGRAM=Mivlet.exe -DICON=Mivlet.ico
;            -DOUTFILE=Mivlet-Setup-1.0.0.exe Mivlet.nsi
; One installation per computer, for every user: the program in Program
; Files, a Start menu entry, a start at every user's logon and a Windows
; Firewall rule for the UDP port. /S installs silently; a copy that runs is
; closed first and started again afterwards. The uninstaller takes all of it
; away but the settings and the message log, unless it is asked to
; (/REMOVESETTINGS, or the box on its components page).

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

; ---------------------------------------------------------------- pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Mivlet is a messenger for the computers of a local network, without a server.$\r$\n$\r$\nSetup installs Mivlet ${VERSION} for all users of this computer. It starts at every user's logon behind its icon in the notification area, and Windows Firewall lets it receive messages on UDP port ${DEFAULT_UDP_PORT} on domain and private networks.$\r$\n$\r$\nA copy of Mivlet that is running now is closed and started again when Setup has finished."
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

Section "Mivlet" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  FileOpen $Log "$INSTDIR\Install.log" w
  !insertmacro Log "Mivlet ${VERSION} into $INSTDIR"

  Call CloseOldCopy

  SetOverwrite try
  ClearErrors
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
  ; computer could write into the chat.
  ReadRegDWORD $0 HKLM "${SETTINGS_KEY}" "UdpPort"
  ${If} $0 < 1
  ${OrIf} $0 > 65535
    StrCpy $0 ${DEFAULT_UDP_PORT}
  ${EndIf}
  !insertmacro Netsh 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  !insertmacro Netsh 'advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\Mivlet.exe" protocol=UDP localport=$0 profile=domain,private description="Mivlet receives messages from the other computers of the local network."'

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

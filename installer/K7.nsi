; The K7 installer: per user by default (no elevation), for all users with /ALLUSERS; it
; upgrades in place and uninstalls cleanly, silently with /S. Built by installer/make-dist,
; which passes these defines:
;   VERSION  the project version            STAGE   the folder holding the files to install
;   FILES    the generated list of them     HELPER  k7stop.exe
;   OUTFILE  the setup to write             ICON    the agent's icon
;   CONFIG   defined when the configuration program is among the files
;   SIGN     a command that signs the file it is given (only when a certificate is given)
;
; Exit codes (install, upgrade and uninstall): 0 done; 1 cancelled by the user; 2 ended by
; an error NSIS reports itself; 3 a program of the installation did not end within
; STOP_LIMIT_MS or runs in another session: nothing was changed; 4 a file could not be
; written or replaced: the previous files are back in place; 5 /ALLUSERS without
; administrator rights.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include "${FILES}"

!define PRODUCT "Orvex K7"
!define PUBLISHER "Orvex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvexK7"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "OrvexK7"
!define SETTINGS_KEY "Software\Orvex\K7"
!define MENU_FOLDER "Orvex K7"
!define AGENT "K7_Setting.exe"
!define STOP_LIMIT_MS 10000
; Beside the installed files, on the same volume, so that the swap is a rename.
!define NEW "~k7new"
!define OLD "~k7old"

!define EXIT_RUNNING 3
!define EXIT_FILES 4
!define EXIT_ADMIN 5

; Every program carries the project's version; a setup built from other files is refused.
!getdllversion "${STAGE}/${AGENT}" AGENT_VERSION_
!if "${AGENT_VERSION_1}.${AGENT_VERSION_2}.${AGENT_VERSION_3}" != "${VERSION}"
  !error "${AGENT} has version ${AGENT_VERSION_1}.${AGENT_VERSION_2}.${AGENT_VERSION_3}, not ${VERSION}"
!endif

!ifdef SIGN
  !finalize '${SIGN} "%1"'
  !uninstfinalize '${SIGN} "%1"'
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"
VIAddVersionKey FileDescription "${PRODUCT} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
ShowInstDetails show

Var AllUsers
Var NoStart
Var Failed
Var WasRunning

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef CONFIG
  !define MUI_FINISHPAGE_RUN "$INSTDIR\K7_Config.exe"
  !define MUI_FINISHPAGE_RUN_TEXT "Open the K7 configuration"
!endif
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends the programs of the installation in $INSTDIR (k7stop) and sets $WasRunning; when one
; does not end, everything is left as it was and the setup ends with EXIT_RUNNING.
!macro STOP_PROGRAMS
  InitPluginsDir
  File "/oname=$PLUGINSDIR\k7stop.exe" "${HELPER}"
  ExecWait '"$PLUGINSDIR\k7stop.exe" "$INSTDIR" ${STOP_LIMIT_MS}' $0
  StrCpy $WasRunning 0
  ${If} $0 == 1
    StrCpy $WasRunning 1
    DetailPrint "The running ${PRODUCT} programs have ended."
  ${ElseIf} $0 != 0
    ; The agent was asked with the others and ended: it comes back as it was.
    ${If} $0 == 3
      Exec '"$INSTDIR\${AGENT}"'
    ${EndIf}
    MessageBox MB_ICONSTOP "A ${PRODUCT} program in $INSTDIR did not end within ${STOP_LIMIT_MS} ms, or runs \
                            for another user. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_RUNNING}
    Quit
  ${EndIf}
!macroend

; Per user or, with /ALLUSERS (or for an installation made so), for all users.
!macro SET_CONTEXT
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_ICONSTOP "An installation for all users needs administrator rights: start it as an \
                              administrator." /SD IDOK
      SetErrorLevel ${EXIT_ADMIN}
      Quit
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

; The steps of the file swap, one file at a time (the generated list K7_FILES calls them).
; Each new file is first written beside the installation; only then is each old file moved
; aside and the new one moved in, so that a failure at any point can put the old ones back.
!macro K7_STAGE NAME
  ${GetParent} "$INSTDIR\${NEW}\${NAME}" $0
  CreateDirectory $0
  ClearErrors
  File "/oname=$INSTDIR\${NEW}\${NAME}" "${STAGE}/${NAME}"
  ${If} ${Errors}
    StrCpy $Failed 1
  ${EndIf}
!macroend

!macro K7_SWAP NAME
  ${If} $Failed == 0
    ${GetParent} "$INSTDIR\${OLD}\${NAME}" $0
    CreateDirectory $0
    ${GetParent} "$INSTDIR\${NAME}" $0
    CreateDirectory $0
    ; Testing the error flag clears it: each test follows the one step it is about.
    ClearErrors
    ${If} ${FileExists} "$INSTDIR\${NAME}"
      Rename "$INSTDIR\${NAME}" "$INSTDIR\${OLD}\${NAME}"
    ${EndIf}
    ${If} ${Errors}
      StrCpy $Failed 1
    ${Else}
      Rename "$INSTDIR\${NEW}\${NAME}" "$INSTDIR\${NAME}"
      ${If} ${Errors}
        StrCpy $Failed 1
      ${EndIf}
    ${EndIf}
    ${If} $Failed == 1
      DetailPrint "Cannot replace $INSTDIR\${NAME}: it is in use."
    ${EndIf}
  ${EndIf}
!macroend

; Moved aside: the old file goes back. Moved in without an old one: the new file goes.
; Still staged: untouched.
!macro K7_ROLL_BACK NAME
  ${If} ${FileExists} "$INSTDIR\${OLD}\${NAME}"
    Delete "$INSTDIR\${NAME}"
    Rename "$INSTDIR\${OLD}\${NAME}" "$INSTDIR\${NAME}"
  ${ElseIfNot} ${FileExists} "$INSTDIR\${NEW}\${NAME}"
    Delete "$INSTDIR\${NAME}"
  ${EndIf}
!macroend

!macro K7_REMOVE NAME
  Delete /REBOOTOK "$INSTDIR\${NAME}"
  ${un.GetParent} "$INSTDIR\${NAME}" $0
  RMDir $0
!macroend

Function .onInit
  StrCpy $AllUsers 0
  StrCpy $NoStart 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/NOSTART" $R1
  ${IfNot} ${Errors}
    StrCpy $NoStart 1
  ${EndIf}
  !insertmacro SET_CONTEXT
  ; /D= sets $INSTDIR before this; otherwise the folder of an earlier installation, else the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
  ${AndIf} $AllUsers == 1
    StrCpy $INSTDIR "$PROGRAMFILES64\K7"
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\K7"
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath $INSTDIR
  !insertmacro STOP_PROGRAMS

  StrCpy $Failed 0
  RMDir /r "$INSTDIR\${NEW}"
  RMDir /r "$INSTDIR\${OLD}"
  !insertmacro K7_FILES K7_STAGE
  !insertmacro K7_FILES K7_SWAP
  ${If} $Failed == 1
    !insertmacro K7_FILES K7_ROLL_BACK
  ${EndIf}
  RMDir /r "$INSTDIR\${NEW}"
  RMDir /r "$INSTDIR\${OLD}"
  ${If} $Failed == 1
    ${If} $WasRunning == 1
      Exec '"$INSTDIR\${AGENT}"'
    ${EndIf}
    MessageBox MB_ICONSTOP "A file in $INSTDIR could not be replaced. The installed version is left as it was." \
               /SD IDOK
    SetErrorLevel ${EXIT_FILES}
    Quit
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The agent at each log-on, in quotes since the folder may hold spaces.
  WriteRegStr SHCTX "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${AGENT}"'

  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\K7 keyboard agent.lnk" "$INSTDIR\${AGENT}"
  !ifdef CONFIG
    CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\K7 configuration.lnk" "$INSTDIR\K7_Config.exe"
  !endif

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} keyboard agent"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${AGENT},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; An agent started by an elevated setup would run elevated, and the user's configuration
  ; program could not send it messages; for all users it starts at each log-on instead.
  ${If} $NoStart == 0
  ${AndIf} $AllUsers == 0
    Exec '"$INSTDIR\${AGENT}"'
  ${EndIf}
SectionEnd

Section "un.${PRODUCT} programs" SecRemove
  SectionIn RO
  !insertmacro STOP_PROGRAMS
  !insertmacro K7_FILES K7_REMOVE
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${MENU_FOLDER}\K7 keyboard agent.lnk"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\K7 configuration.lnk"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"
  ; Only our own start: another installation's value stays.
  ReadRegStr $0 SHCTX "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${AGENT}"'
    DeleteRegValue SHCTX "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

; The key assignments, macros, combinations and rate with their backup, and the configuration
; program's own data (recent files, kept edits, the window's place): kept unless asked.
Section /o "un.My stored key settings and the configuration program's data" SecPurge
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Orvex"
  ; The program's data is the user's, as HKCU is, also under an installation for all users.
  SetShellVarContext current
  RMDir /r "$APPDATA\K7\Config"
  RMDir "$APPDATA\K7"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${EndIf}
SectionEnd

Function un.onInit
  ; For all users when the machine's entry names this folder; per user otherwise.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
  ${EndIf}
  !insertmacro SET_CONTEXT
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPurge}
  ${EndIf}
FunctionEnd

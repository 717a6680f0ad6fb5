; The setup program of Tovaro Wizard for Windows. Built by scripts/build-windows.sh:
;   makensis -DVERSION=1.0.0 -DSOURCE=<folder with tovaro.exe, tovaro-gen.exe, help and
;            help-files.nsh> -DICON=<tovaro.ico> -DMANIFEST=<setup.manifest, version filled in>
;            -DOUTFILE=<exe>
; Administrators install for all users into Program Files, other users for themselves into
; their own programs folder; /D= names another folder. An installed version is updated (or
; repaired, or replaced by an older one) where it is: the folder page is skipped, and /D= is
; not followed, so that there are never two copies. /S installs and uninstalls silently. The
; uninstaller removes what the setup installed, by name, and a folder only when nothing else is
; left in it.
; A 64-bit setup program, like the programs it installs.
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"

!define PRODUCT "Tovaro Wizard"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TovaroWizard"

!define MAKER "Brantwell Software"
!define WEB "https://www.tovaro.example/"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
; The product and its maker, not the installer tool, at the foot of every page.
BrandingText "${PRODUCT} ${VERSION} – ${MAKER}"
; No InstallDir: .onInit sets the default, unless /D= has named a folder.
; The product's icon for the setup and the uninstaller.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpdate
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; What Explorer shows of the setup program: product, maker, version.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Installationsprogramm von ${PRODUCT}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© ${MAKER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "OriginalFilename" "TovaroWizard-Setup-${VERSION}.exe"

; The setup's own manifest in place of the installer tool's: it names the product, asks for
; the highest rights the user has, knows every Windows from Vista on and draws itself sharply
; at any scale. (The settings that would make the tool write its own are off.)
RequestExecutionLevel none
ManifestSupportedOS none
XPStyle off
PEAddResource "${MANIFEST}" "#24" "#1" 1031

Var AllUsers
Var Installed ; the folder of the installed version, or empty

Function .onInit
  SetRegView 64
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
    SetShellVarContext all
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    StrCpy $3 "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    StrCpy $3 "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
  StrCpy $Installed $1
  ${If} $Installed != ""
    ; An installed version is updated in its own folder, whatever /D= names.
    StrCpy $INSTDIR $Installed
    ${VersionCompare} "$2" "${VERSION}" $0
    ${If} $0 == 0
      StrCpy $0 "wird erneut installiert (repariert)"
    ${ElseIf} $0 == 1
      StrCpy $0 "wird durch die ältere Version ${VERSION} ersetzt"
    ${Else}
      StrCpy $0 "wird auf Version ${VERSION} aktualisiert"
    ${EndIf}
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} $2 ist bereits in $Installed installiert \
      und $0." /SD IDOK
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR $3
  ${EndIf}
FunctionEnd

; Another folder would leave a second copy, and the one installed would lose its entry in
; "Apps & features": an update skips the folder page.
Function SkipFolderOnUpdate
  ${If} $Installed != ""
    Abort
  ${EndIf}
FunctionEnd

; A running wizard would keep its program file: it is closed first.
Function CloseRunningWizard
  ${Do}
    FindWindow $0 "" " Tovaro Wizard 1.00"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} läuft noch. Bitte schließen Sie \
      ${PRODUCT} und wählen Sie dann Wiederholen." /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
FunctionEnd

; The finish page starts the wizard as the user who started the setup, through Explorer, not
; with the setup's administrator rights (its default output file would land in Program Files).
Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\tovaro.exe"'
FunctionEnd

Section "Tovaro Wizard"
  Call CloseRunningWizard
  SetOutPath "$INSTDIR"
  File "${SOURCE}\tovaro.exe"
  File "${SOURCE}\tovaro-gen.exe"
  SetOutPath "$INSTDIR\help"
  File /r "${SOURCE}\help\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tovaro.exe"
  ${GetSize} "$INSTDIR" "/S=0K" $4 $5 $6
  IntFmt $4 "0x%08X" $4
  ${If} $AllUsers == 1
    SetRegView 64
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${WEB}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $4
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovaro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${Else}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${WEB}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $4
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tovaro.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  FindWindow $0 "" " Tovaro Wizard 1.00"
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} läuft noch. Bitte schließen Sie ${PRODUCT} \
      und starten Sie die Deinstallation erneut." /SD IDOK
    Abort
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\tovaro.exe"
  Delete "$INSTDIR\tovaro-gen.exe"
  ; The help files the setup installed, each by name, then their folders if empty: a user's
  ; own files in a folder of the same name stay.
  !include "${SOURCE}\help-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ; The settings entry the wizard writes at each start (Qt's native settings, the registry).
  DeleteRegKey HKCU "Software\Brantwell\OrganizationDefaults\Tovaro"
  DeleteRegKey /ifempty HKCU "Software\Brantwell\OrganizationDefaults"
  DeleteRegKey /ifempty HKCU "Software\Brantwell"
SectionEnd

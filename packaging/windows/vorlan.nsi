; The setup program of Vorlan for 64-bit Windows. It installs for every user
; into Program Files\Vorlan, adds the Start Menu shortcut "Vorlan", an entry
; in Add/Remove Programs and an uninstaller. Made by `make windows-installer`
; (cmake/WindowsInstaller.cmake), which defines
;   VERSION       the version shown, e.g. 1.0
;   FILE_VERSION  the same in four numbers, 1.0.0.0
;   STAGE         the folder that holds the files to install
;   FILES         an include that defines the macro VorlanFiles, one
;                 VorlanFile line a file, VORLAN_DESKTOP when the desktop
;                 program is one of them and VORLAN_ICON when it has an icon
;   OUTFILE       the setup program to write
;
; For administrators:
;   vorlan-<version>-setup.exe /S [/COM=<n>] [/D=<folder>]   (/D= last)
;   "C:\Program Files\Vorlan\uninstall.exe" /S
; /COM=<n> makes COM<n> the machine-wide default port: the text value "com"
; under HKLM\Software\Quenta\Vorlan holds the port index n-1, which the
; programs read when the user has no port setting of their own.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; A file that cannot be replaced fails the setup rather than stay old.
AllowSkipFiles off

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlan"
!define SETTINGS_KEY "Software\Quenta\Vorlan"
!define SETTINGS_PARENT_KEY "Software\Quenta"
!define SHORTCUT "$SMPROGRAMS\Vorlan.lnk"

Name "Vorlan ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vorlan"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vorlan ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "Vorlan"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vorlan setup"
VIAddVersionKey "CompanyName" "Quenta"
VIAddVersionKey "LegalCopyright" "2026 Vorlan developers"

!ifdef VORLAN_DESKTOP
    !define MAIN_PROGRAM "vorlan.exe"
!else
    !define MAIN_PROGRAM "vorlan-flash.exe"
!endif

; Files of a running desktop program cannot be replaced or removed: it holds
; the named mutex VORLAN.MUTEX of the user's session while it runs.
!macro WaitWhileVorlanRuns
    running:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, t "VORLAN.MUTEX") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Vorlan is running. Close it, then choose Retry." \
            /SD IDCANCEL IDRETRY running
        SetErrorLevel 3
        Quit
    ${EndIf}
!macroend

; The port index that /COM= asks for, and whether it did.
Var DefaultCom
Var HaveDefaultCom

!define MUI_ABORTWARNING
!ifdef VORLAN_ICON
    !define MUI_ICON "${VORLAN_ICON}"
    !define MUI_UNICON "${VORLAN_ICON}"
!endif
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENCE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef VORLAN_DESKTOP
    !define MUI_FINISHPAGE_RUN "$INSTDIR\vorlan.exe"
!endif
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetShellVarContext all
    SetRegView 64
    StrCpy $HaveDefaultCom 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/COM=" $1
    ${IfNot} ${Errors}
        ; Only a plain decimal port number: "5x", "05", "0x5" and "" are refused.
        IntOp $2 $1 + 0
        ${If} "$2" != "$1"
        ${OrIf} $2 < 1
        ${OrIf} $2 > 257
            MessageBox MB_OK|MB_ICONSTOP "/COM= takes a port number from 1 to 257, not $\"$1$\"." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        IntOp $DefaultCom $2 - 1
        StrCpy $HaveDefaultCom 1
    ${EndIf}
    !insertmacro WaitWhileVorlanRuns
FunctionEnd

; An installed Vorlan, of any version, leaves through its own uninstaller, so
; that no file of an older version stays behind. A default port that it had
; set stays unless /COM= names another.
Function RemoveInstalled
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == ""
    ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
        Return
    ${EndIf}
    ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DefaultCom"
    ReadRegStr $R2 HKLM "${SETTINGS_KEY}" "com"
    DetailPrint "Removing the installed Vorlan from $R0"
    ; _?= runs it in place and waits for it; it then leaves itself.
    ExecWait '"$R0\uninstall.exe" /S _?=$R0'
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
    ${If} $HaveDefaultCom == 0
    ${AndIf} $R1 != ""
    ${AndIf} $R1 == $R2
        StrCpy $DefaultCom $R1
        StrCpy $HaveDefaultCom 1
    ${EndIf}
FunctionEnd

!macro VorlanFile NAME
    File "${STAGE}/${NAME}"
!macroend

Section "Vorlan"
    Call RemoveInstalled
    SetOutPath "$INSTDIR"
    !insertmacro VorlanFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"

!ifdef VORLAN_DESKTOP
    CreateShortcut "${SHORTCUT}" "$INSTDIR\vorlan.exe" "" "$INSTDIR\vorlan.exe" 0
!else
    ; Without the desktop program: a command prompt in the program folder.
    CreateShortcut "${SHORTCUT}" "$SYSDIR\cmd.exe" "/k vorlan-flash --help" \
        "$INSTDIR\vorlan-flash.exe" 0
!endif

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vorlan"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quenta"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_PROGRAM},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The uninstaller takes the default away only while it is still the one
    ; written here, so it keeps one that an administrator set since.
    ${If} $HaveDefaultCom == 1
        WriteRegStr HKLM "${SETTINGS_KEY}" "com" "$DefaultCom"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "DefaultCom" "$DefaultCom"
    ${EndIf}
SectionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro WaitWhileVorlanRuns
FunctionEnd

; Only what the setup program wrote goes: files another program or the user
; put into the folder stay, and with them the folder; so does each user's own
; port setting under HKEY_CURRENT_USER.
!macroundef VorlanFile
!macro VorlanFile NAME
    Delete "$INSTDIR\${NAME}"
!macroend

Section "Uninstall"
    !insertmacro VorlanFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"

    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DefaultCom"
    ReadRegStr $1 HKLM "${SETTINGS_KEY}" "com"
    ${If} $0 != ""
    ${AndIf} $0 == $1
        DeleteRegValue HKLM "${SETTINGS_KEY}" "com"
    ${EndIf}
    DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "${SETTINGS_PARENT_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

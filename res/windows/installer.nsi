; The Windows installer, built by the Windows build (cmake/WindowsInstaller.cmake)
; with makensis, which is given:
;   VERSION      the project's version, as shown ("1.01")
;   FILE_VERSION the same as four numbers ("1.1.0.0")
;   PROGRAM      trekline.exe as it is shipped
;   FONT         DejaVuSans.ttf, the chart's label font where Verdana is missing
;   HELP_PAGE    the help page
;   ICON         the program's icon file
;   OUTFILE      the installer to write
;
; It installs for the current user alone, without asking for administrator
; rights, into the per-user programs folder. The uninstaller removes what this
; installed and nothing else: the diary and the settings are the user's.

Unicode true
; The 64-bit stub: the program is 64-bit only, and so is the Wine it is tested under.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Files keep the time they are installed at rather than the build's, so that
; two builds of the same sources give the same installer.
SetDateSave off

!define APP_NAME "Trekline"
!define PUBLISHER "The Trekline developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trekline"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Trekline"
; A reinstall goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP_NAME} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\trekline.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--data-home"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Trekline"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "/oname=trekline.exe" "${PROGRAM}"
    File "/oname=DejaVuSans.ttf" "${FONT}"
    SetOutPath "$INSTDIR\help"
    File "/oname=index.html" "${HELP_PAGE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; Started from the menu, the program keeps the diary in the user's data
    ; folder rather than in whatever folder Windows starts it in.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\trekline.exe" "--data-home" \
        "$INSTDIR\trekline.exe" 0 SW_SHOWNORMAL "" "Keep a diary of your daily steps"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trekline.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; What the folder holds now, in KB, as Apps & features shows it.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\${APP_NAME}.lnk"
    Delete "$INSTDIR\trekline.exe"
    Delete "$INSTDIR\DejaVuSans.ttf"
    Delete "$INSTDIR\help\index.html"
    RMDir "$INSTDIR\help"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: whatever else the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

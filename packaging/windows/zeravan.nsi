; SPDX-FileCopyrightText: 2026 The Zeravan developers
; SPDX-License-Identifier: MIT
; The Windows installer: Simplified Chinese pages, the program in Program Files, a Start-menu
; shortcut and an entry in "Programs and Features". /S installs and uninstalls silently.
; makensis -DVERSION=<version> -DSTAGE=<folder with zeravan.exe and its DLLs>
;          -DUNINSTALL_LIST=<Delete and RMDir lines for every file and folder of STAGE>
;          -DICON=<zeravan.ico> -DOUTFILE=<setup.exe> zeravan.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define NAME "Zeravan"
!define PUBLISHER "Zeravan developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; NSIS would otherwise pass over a drive root given with /D and install into the default folder
; instead; refuseSharedFolder refuses it, saying so.
AllowRootDirInstall true

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE refuseSharedFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "run the program" box: the installer runs as an administrator, and so would the program.
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${NAME} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© ${PUBLISHER}"

; A 64-bit program: its registry entries belong in the 64-bit view, for every user.
Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; The uninstaller takes away only the files the installer put in, and the folder only when that
; leaves it empty; so the folder must hold nothing else to begin with: not a drive's root, not a
; folder that already has files in it, unless they are this program's from an earlier install.
Function refuseSharedFolder
    ${GetRoot} "$INSTDIR" $0
    ${If} "$INSTDIR" == "$0"
    ${OrIf} "$INSTDIR" == "$0\"
        MessageBox MB_ICONSTOP "不能安装到驱动器的根目录 $INSTDIR。请选择一个新的或空的文件夹。" /SD IDOK
        Abort
    ${EndIf}
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} "$0" == "$INSTDIR"
        Return
    ${EndIf}
    ; Leaves in $1 the first entry other than "." and "..", or nothing.
    FindFirst $0 $1 "$INSTDIR\*"
    ${DoUntil} "$1" == ""
        ${IfNot} "$1" == "."
        ${AndIfNot} "$1" == ".."
            ${ExitDo}
        ${EndIf}
        FindNext $0 $1
    ${Loop}
    FindClose $0
    ${If} "$1" != ""
        MessageBox MB_ICONSTOP "文件夹 $INSTDIR 中已有其他文件。请选择一个新的或空的文件夹。" /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

Section
    ; A silent install shows no directory page.
    Call refuseSharedFolder
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\zeravan.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zeravan.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    !include "${UNINSTALL_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; SPDX-FileCopyrightText: 2026 The Zeravan developers
; SPDX-License-Identifier: MIT
; The Windows installer: Simplified Chinese pages, the program in Program Files, a Start-menu
; shortcut and an entry in "Programs and Features". /S installs and uninstalls silently.
; Neither touches a file while the program runs from them: they ask it to end first, and it
; does unless a shutdown is set; then, or when its files are in use, they say so and stop (status
; 3 when silent). An upgrade replaces every file or none, an uninstall removes every file or none;
; an install the folder's disk has no room for is refused before the program is asked to end.
; makensis -DVERSION=<version> -DSTAGE=<folder with zeravan.exe and its DLLs>
;          -DRELEASE_FILES=<FOR_EACH_RELEASE_FILE and FOR_EACH_RELEASE_FOLDER over STAGE>
;          -DINSTALLED_SIZE_KB=<size of STAGE's files in KiB>
;          -DNEEDED_BYTES=<room the new files and the uninstaller take on a disk>
;          -DICON=<zeravan.ico> -DOUTFILE=<setup.exe> zeravan.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define NAME "Zeravan"
!define PUBLISHER "Zeravan developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
; How a running program is asked to end (platform/lifetime/installer_requests_windows.cpp): a
; message-only window of this class, sent this registered message, answers 1 (ending) or 2 (staying).
!define REQUEST_CLASS "io.github.orrimel.Zeravan.InstallerRequests"
!define REQUEST_MESSAGE "io.github.orrimel.Zeravan.EndForInstaller"
!define HWND_MESSAGE -3
; The status of an installer or uninstaller that stopped with nothing changed: the program runs,
; or a file could not be replaced or removed.
!define PROGRAM_RUNNING_STATUS 3
!define FILE_STUCK_STATUS 4
; The install folder's disk has no room for the new files beside the earlier ones.
!define NO_ROOM_STATUS 5

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
!include "${RELEASE_FILES}"
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

; /AFTER=<process id>: the copy that un.removeWhenEnded started, which waits for that
; uninstaller to end and then deletes it and the folder, if that leaves it empty.
Function un.onInit
    SetRegView 64
    SetShellVarContext all
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} "$0" "/AFTER=" $1
    ${IfNot} ${Errors}
        IntOp $1 $1 + 0
        ; SYNCHRONIZE
        System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r1) p .r2'
        System::Call 'kernel32::WaitForSingleObject(p r2, i 60000)'
        System::Call 'kernel32::CloseHandle(p r2)'
        Delete "$INSTDIR\uninstall.exe"
        RMDir "$INSTDIR"
        ; This copy itself, when Windows next starts, as NSIS does with its own copies.
        Delete /REBOOTOK "$EXEPATH"
        Quit
    ${EndIf}
FunctionEnd

; Run in place (the registry's quiet uninstall, "_?="), the uninstaller cannot delete its own
; file while it runs: a copy of it in the temporary folder does, once it has ended.
Function un.removeWhenEnded
    ${If} "$EXEPATH" == "$INSTDIR\uninstall.exe"
        GetTempFileName $0
        CopyFiles /SILENT "$EXEPATH" "$0"
        System::Call 'kernel32::GetCurrentProcessId() i .r1'
        Exec '"$0" /S /AFTER=$1 _?=$INSTDIR'
    ${EndIf}
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

; Every file the installer puts in: the release's, and the uninstaller.
!macro FOR_EACH_INSTALLED_FILE DO
    !insertmacro FOR_EACH_RELEASE_FILE ${DO}
    !insertmacro ${DO} "uninstall.exe"
!macroend

; Leaves in $R0 the first file that is there but that cannot be opened for writing with nobody
; else using it: a program runs from it, or holds it open. The uninstaller running in place is
; not counted.
!macro NOTE_IF_BUSY FILE
    ${If} $R0 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${FILE}"
    ${AndIf} "$INSTDIR\${FILE}" != "$EXEPATH"
        System::Call 'kernel32::CreateFileW(w "$INSTDIR\${FILE}", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p .R1'
        ${If} $R1 = -1
            StrCpy $R0 "${FILE}"
        ${Else}
            System::Call 'kernel32::CloseHandle(p R1)'
        ${EndIf}
    ${EndIf}
!macroend

; Renames a file that is there to <file>.zeravan-old, until one cannot be: then leaves it in $R0.
; The uninstaller running in place stays where it is until it has ended (un.removeWhenEnded).
!macro SET_ASIDE FILE
    ${If} $R0 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${FILE}"
    ${AndIf} "$INSTDIR\${FILE}" != "$EXEPATH"
        Delete "$INSTDIR\${FILE}.zeravan-old"
        ClearErrors
        Rename "$INSTDIR\${FILE}" "$INSTDIR\${FILE}.zeravan-old"
        ${IfThen} ${Errors} ${|} StrCpy $R0 "${FILE}" ${|}
    ${EndIf}
!macroend

!macro TAKE_BACK FILE
    ${If} ${FileExists} "$INSTDIR\${FILE}.zeravan-old"
        Rename "$INSTDIR\${FILE}.zeravan-old" "$INSTDIR\${FILE}"
    ${EndIf}
!macroend

!macro DROP_ASIDE FILE
    Delete "$INSTDIR\${FILE}.zeravan-old"
!macroend


!macro REMOVE_FILE FILE
    Delete "$INSTDIR\${FILE}"
!macroend

!macro REMOVE_FOLDER FOLDER
    RMDir "$INSTDIR\${FOLDER}"
!macroend

; Says why, and stops with nothing changed.
!macro STOP STATUS TEXT
    MessageBox MB_ICONSTOP "${TEXT}" /SD IDOK
    SetErrorLevel ${STATUS}
    Quit
!macroend

; The same for the installer and the uninstaller (UN: "un."), which says what it does (DOING).
!macro RUNNING_PROGRAM_FUNCTIONS UN DOING
; Asks each running program, one after another, to end, and waits up to 10 s for each that agrees
; to end. Leaves "staying" in $R0 when one stays because a shutdown is set; a program that does
; not answer within 5 s is left to the check of the files.
Function ${UN}endRunningPrograms
    StrCpy $R0 ""
    StrCpy $R3 0
    System::Call 'user32::RegisterWindowMessageW(w "${REQUEST_MESSAGE}") i .R1'
    ${Do}
        FindWindow $R2 "${REQUEST_CLASS}" "" ${HWND_MESSAGE}
        ; None left, or the one asked before did not end in time.
        ${If} $R2 = 0
        ${OrIf} $R2 = $R3
            ${ExitDo}
        ${EndIf}
        StrCpy $R3 $R2
        System::Call 'user32::GetWindowThreadProcessId(p R2, *i .R4)'
        ClearErrors
        SendMessage $R2 $R1 0 0 $R5 /TIMEOUT=5000
        ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
        ${If} $R5 = 2
            StrCpy $R0 "staying"
            ${ExitDo}
        ${EndIf}
        ; SYNCHRONIZE
        System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i R4) p .R6'
        System::Call 'kernel32::WaitForSingleObject(p R6, i 10000)'
        System::Call 'kernel32::CloseHandle(p R6)'
    ${Loop}
FunctionEnd

; Before any file is touched: every running program has ended and no file is in use, or the user
; is told why not and may try again; silently, or cancelled, it stops with nothing changed.
Function ${UN}makeWayForFiles
    retry:
    Call ${UN}endRunningPrograms
    ${If} $R0 == "staying"
        StrCpy $R7 "Zeravan 已设定关机，现在不能退出。$\r$\n请先在 Zeravan 中取消关机，再点“重试”继续${DOING}；点“取消”则不${DOING}。"
    ${Else}
        !insertmacro FOR_EACH_INSTALLED_FILE NOTE_IF_BUSY
        ${IfThen} $R0 == "" ${|} Return ${|}
        StrCpy $R7 "Zeravan 正在运行，或文件 $INSTDIR\$R0 正被使用，无法${DOING}。$\r$\n请先退出 Zeravan，再点“重试”继续${DOING}；点“取消”则不${DOING}。"
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R7" /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${PROGRAM_RUNNING_STATUS}
    Quit
FunctionEnd
!macroend
!insertmacro RUNNING_PROGRAM_FUNCTIONS "" "安装"
!insertmacro RUNNING_PROGRAM_FUNCTIONS "un." "卸载"

; The earlier install's files are renamed, not deleted, until the new ones are all written: the
; disk must have room for both. Stops before the running program is asked to end when it has not.
Function refuseFullDisk
    ; The nearest folder on the way to $INSTDIR that is there already.
    StrCpy $R1 "$INSTDIR"
    ${DoUntil} ${FileExists} "$R1\*.*"
        ${GetParent} "$R1" $R1
        ${IfThen} "$R1" == "" ${|} Return ${|}
    ${Loop}
    System::Call 'kernel32::GetDiskFreeSpaceExW(w "$R1\", *l .R2, p 0, p 0) i .R3'
    ${IfThen} $R3 = 0 ${|} Return ${|}
    System::Int64Op $R2 < ${NEEDED_BYTES}
    Pop $R3
    ${If} $R3 = 1
        System::Int64Op $R2 >> 20
        Pop $R2
        System::Int64Op ${NEEDED_BYTES} + 1048575
        Pop $R4
        System::Int64Op $R4 >> 20
        Pop $R4
        !insertmacro STOP ${NO_ROOM_STATUS} "磁盘空间不足：安装到 $INSTDIR 需要 $R4 MB，只剩 $R2 MB。请腾出空间后再安装；没有更改任何文件。"
    ${EndIf}
FunctionEnd

; Set when the earlier install's files are set aside, until the new ones are all written.
Var filesSetAside

; The new files written so far go, and the earlier install's files come back.
Function takeBackEarlierInstall
    !insertmacro FOR_EACH_INSTALLED_FILE REMOVE_FILE
    !insertmacro FOR_EACH_RELEASE_FOLDER REMOVE_FOLDER
    !insertmacro FOR_EACH_INSTALLED_FILE TAKE_BACK
    StrCpy $filesSetAside ""
FunctionEnd

; NSIS aborts the install when writing a file fails halfway (the disk filled up meanwhile).
Function .onInstFailed
    ${If} $filesSetAside == "yes"
        Call takeBackEarlierInstall
        SetErrorLevel ${FILE_STUCK_STATUS}
    ${EndIf}
FunctionEnd

Section
    ; A silent install shows no directory page.
    Call refuseSharedFolder
    Call refuseFullDisk
    Call makeWayForFiles
    ; The files of an earlier install are set aside first, and taken back should any step fail.
    StrCpy $R0 ""
    StrCpy $filesSetAside "yes"
    !insertmacro FOR_EACH_INSTALLED_FILE SET_ASIDE
    ${If} $R0 != ""
        Call takeBackEarlierInstall
        !insertmacro STOP ${FILE_STUCK_STATUS} "无法替换文件 $INSTDIR\$R0，没有安装任何文件。"
    ${EndIf}
    SetOutPath "$INSTDIR"
    ; Failing to open a file sets the error flag instead of asking.
    SetOverwrite try
    ClearErrors
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ${If} ${Errors}
        Call takeBackEarlierInstall
        !insertmacro STOP ${FILE_STUCK_STATUS} "无法写入文件夹 $INSTDIR，没有安装任何文件。"
    ${EndIf}
    !insertmacro FOR_EACH_INSTALLED_FILE DROP_ASIDE
    StrCpy $filesSetAside ""
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\zeravan.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zeravan.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    ; Run in place ("_?="), the uninstaller is the process that was started: whoever started it
    ; waits for it and reads its status. Started plainly, it hands over to a copy and ends at once.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_SIZE_KB}
SectionEnd

; Every file is set aside before any is deleted, and taken back should one not move.
Section "Uninstall"
    Call un.makeWayForFiles
    StrCpy $R0 ""
    !insertmacro FOR_EACH_INSTALLED_FILE SET_ASIDE
    ${If} $R0 != ""
        !insertmacro FOR_EACH_INSTALLED_FILE TAKE_BACK
        !insertmacro STOP ${FILE_STUCK_STATUS} "无法删除文件 $INSTDIR\$R0，没有卸载任何文件。"
    ${EndIf}
    !insertmacro FOR_EACH_INSTALLED_FILE DROP_ASIDE
    !insertmacro FOR_EACH_RELEASE_FOLDER REMOVE_FOLDER
    Delete "$SMPROGRAMS\${NAME}.lnk"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Call un.removeWhenEnded
SectionEnd

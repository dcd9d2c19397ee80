; What the installer (Velquin.nsi) and the uninstaller (Uninstall.nsi) share: the
; names, the exit codes, the version block, signing, the account check, and ending
; and starting Velquin. scripts/dist.sh defines VERSION (the project's, whole),
; VERSION4 (four numbers), ICON, OUTFILE and, when it signs, SIGN (a command that
; signs the file it is given, in place).
;
; Exit codes of both programs:
;   0  done
;   1  cancelled by the user
;   2  Velquin is running and did not end (nothing was changed)
;   3  a file, shortcut or registry value could not be written or removed; the
;      installer puts back what it had changed, the uninstaller keeps its entry
;   4  refused: run as SYSTEM, or elevated for an account other than the logged-on
;      user's (Velquin belongs to that user's own profile)

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; The files keep the times they were staged with (the commit's), so that the same
; commit gives the same bytes.
SetDateSave on

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "ヴェルキン"
!define PUBLISHER "HALVERN"
!define LINK "ヴェルキン.lnk"
!define EXE_NAME "Velquin.exe"
!define UNINSTALLER "uninst.exe"
!define UNINSTALLER_CORE "uninst-core.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velquin"
!define LIST_KEY "SOFTWARE\HALVERN\Velquin"
; Velquin holds this mutex from its start until its list is saved at its end.
!define SESSION_MUTEX "Local\HALVERN.Velquin"
; How long a running Velquin may take to answer, and then to save its list and end.
!define ANSWER_MS 10000
!define END_MS 30000
; The class names of Velquin's two top-level windows: the main window, and the
; application window that carries the taskbar button and ends the program at the
; end of the logon.
!define MAIN_CLASS "T_MainForm"
!define APP_CLASS "TApplication"
!define ENDSESSION_CLOSEAPP 1

!define EXIT_STILL_RUNNING 2
!define EXIT_WRITE_FAILED 3
!define EXIT_WRONG_ACCOUNT 4

!ifdef SIGN
  !finalize `${SIGN} "%1"` = 0
!endif

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"

Var Ended      ; copies of Velquin that were ended (started again afterwards)
Var EndFailed  ; 1: a running Velquin did not end
Var Elevated   ; 1: this process runs more elevated than the shell; it starts no Velquin
Var Restarted  ; 1: a Velquin that was ended has been started again

!macro VELQUIN_VERSION_BLOCK DESCRIPTION
  VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
  VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (C) 2026 HALVERN"
  VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} ${VERSION} ${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION4}"
!macroend

; --- Whose program this is -------------------------------------------------------

; In: $1 a process handle. Out: $0 the text SID of the process's user, or "".
Function TokenUserSid
  Push $2
  Push $3
  Push $4
  StrCpy $0 ""
  ; TOKEN_QUERY
  System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r2) i .r3'
  ${If} $3 <> 0
    System::Alloc 256
    Pop $4
    ; TokenUser: a TOKEN_USER, whose first field points to the SID.
    System::Call 'advapi32::GetTokenInformation(p r2, i 1, p r4, i 256, *i .r3) i .r3'
    ${If} $3 <> 0
      System::Call '*$4(p .r3)'
      System::Call 'advapi32::ConvertSidToStringSidW(p r3, *p .r3) i .r0'
      ${If} $0 <> 0
        System::Call '*$3(&w256 .r0)'
        System::Call 'kernel32::LocalFree(p r3)'
      ${Else}
        StrCpy $0 ""
      ${EndIf}
    ${EndIf}
    System::Free $4
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; In: $1 a process handle. Out: $0 1 when the process's token is elevated, else 0.
Function TokenElevated
  Push $2
  Push $3
  StrCpy $0 0
  System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r2) i .r3'
  ${If} $3 <> 0
    ; TokenElevation: a DWORD, non-zero when elevated.
    System::Call 'advapi32::GetTokenInformation(p r2, i 20, *i 0 .r0, i 4, *i 0) i .r3'
    ${If} $3 = 0
    ${OrIf} $0 = 0
      StrCpy $0 0
    ${Else}
      StrCpy $0 1
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  Pop $3
  Pop $2
FunctionEnd

; Velquin, its shortcuts, its entry and its task list belong to the logged-on user's
; profile, the user of the desktop's shell. Refuses (exit 4) to run as SYSTEM, or
; elevated for another account than the shell's. Sets $Elevated when this process
; runs elevated and the shell does not (or there is no shell to compare with): what
; it started would then run elevated.
Function RefuseOtherAccounts
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  System::Call 'kernel32::GetCurrentProcess() p .r1'
  Call TokenUserSid
  StrCpy $2 $0
  Call TokenElevated
  StrCpy $3 $0
  ${If} $2 == "S-1-5-18"
    MessageBox MB_OK|MB_ICONSTOP \
      "ヴェルキンはユーザーごとにインストールします。システム アカウント (SYSTEM) では実行できません。$\r$\nインストールするユーザーのアカウントで実行してください。" /SD IDOK
    SetErrorLevel ${EXIT_WRONG_ACCOUNT}
    Quit
  ${EndIf}
  StrCpy $Elevated $3
  ${If} $3 = 1
    System::Call 'user32::GetShellWindow() p .r1'
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i 0 r1)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r1) p .r4'
    ${If} $4 P<> 0
      StrCpy $1 $4
      Call TokenUserSid
      ${If} $0 != ""
      ${AndIf} $0 != $2
        System::Call 'kernel32::CloseHandle(p r4)'
        MessageBox MB_OK|MB_ICONSTOP \
          "ヴェルキンはログオンしているユーザーのためにインストールします。$\r$\n別のアカウントの管理者として実行されているため、中止します。管理者として実行せずに、そのまま実行してください。" /SD IDOK
        SetErrorLevel ${EXIT_WRONG_ACCOUNT}
        Quit
      ${EndIf}
      ; A shell that runs elevated too (no split token): this process is no more.
      Call TokenElevated
      ${If} $0 = 1
        StrCpy $Elevated 0
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r4)'
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; --- Ending a running Velquin ----------------------------------------------------
; Velquin writes its task list only when it ends. An upgrade or an uninstall ends
; it the way Windows does at the end of the logon: WM_QUERYENDSESSION to its
; windows (it asks nothing then), WM_ENDSESSION with a non-zero WParam (its
; application window saves the list and ends the process), and a bounded wait for
; the process. It is never killed: one that does not end is reported instead.
; Only copies started from $INSTDIR count; other programs may use the same class
; names, and a portable copy elsewhere holds no file of this folder.

; Out: $0 the process id of the first window of class $1 that runs
; $INSTDIR\Velquin.exe, after the window $2 (0: from the first), or 0; $2 that window.
Function FindVelquinWindow
  Push $3
  Push $4
  Push $5
  Push $6
  ; Compare long names: the folder may have been given in its short form.
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\${EXE_NAME}", w .r5, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 = 0
    StrCpy $5 "$INSTDIR\${EXE_NAME}"
  ${EndIf}
  StrCpy $0 0
  ${Do}
    FindWindow $2 "$1" "" "" $2
    ${If} $2 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r2, *i 0 r3)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r3) p .r4'
    ${If} $4 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r6, *i ${NSIS_MAX_STRLEN}) i .r0'
      System::Call 'kernel32::CloseHandle(p r4)'
      ${If} $0 <> 0
        System::Call 'kernel32::GetLongPathNameW(w r6, w .r4, i ${NSIS_MAX_STRLEN}) i .r0'
        ${If} $0 <> 0
          StrCpy $6 $4
        ${EndIf}
        ${If} $6 == $5
          StrCpy $0 $3
          ${Break}
        ${EndIf}
      ${EndIf}
      StrCpy $0 0
    ${EndIf}
  ${Loop}
  Pop $6
  Pop $5
  Pop $4
  Pop $3
FunctionEnd

; Sends message $7 with WParam $8 and LParam ${ENDSESSION_CLOSEAPP} to every
; window of class $1 of process $9. Out: $R0 0 when a window answered 0, or did not
; answer in time, or refused the message (a higher integrity level), else 1.
Function SendToVelquinWindows
  Push $0
  Push $2
  Push $3
  StrCpy $R0 1
  StrCpy $2 0
  ${Do}
    Call FindVelquinWindow
    ${If} $2 = 0
      ${Break}
    ${EndIf}
    ${If} $0 = $9
      ; The answer is set only when the call succeeds: the error flag tells.
      StrCpy $3 0
      ClearErrors
      SendMessage $2 $7 $8 ${ENDSESSION_CLOSEAPP} $3 /TIMEOUT=${ANSWER_MS}
      ${If} ${Errors}
      ${OrIf} $3 = 0
        StrCpy $R0 0
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $0
FunctionEnd

; True while a top-level window of class $1 belongs to process $9.
!macro _VelquinWindowOf _a _b _t _f
  !insertmacro _LOGICLIB_TEMP
  Push $0
  Push $2
  Push $3
  StrCpy $2 0
  StrCpy $0 0
  ${Do}
    FindWindow $2 "${_b}" "" "" $2
    ${If} $2 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r2, *i 0 r3)'
    ${If} $3 = $9
      StrCpy $0 1
      ${Break}
    ${EndIf}
  ${Loop}
  StrCpy $_LOGICLIB_TEMP $0
  Pop $3
  Pop $2
  Pop $0
  StrCmp $_LOGICLIB_TEMP 1 `${_t}` `${_f}`
!macroend
!define VelquinWindowOf `"" VelquinWindowOf`

; Waits for process $9, which could not be opened (another integrity level), by
; what it leaves: its windows, then the session mutex, which Velquin releases
; once its list is saved. Out: $0 0 when it ended within ${END_MS}, else 1.
Function WaitForUnopenedVelquin
  Push $1
  Push $3
  Push $4
  StrCpy $0 1
  System::Call 'kernel32::GetTickCount() i .r3'
  IntOp $3 $3 + ${END_MS}
  ${Do}
    ${IfNot} ${VelquinWindowOf} "${MAIN_CLASS}"
    ${AndIfNot} ${VelquinWindowOf} "${APP_CLASS}"
      ; SYNCHRONIZE
      System::Call 'kernel32::OpenMutexW(i 0x100000, i 0, w "${SESSION_MUTEX}") p .r1'
      ${If} $1 P= 0
        StrCpy $0 0  ; no mutex: no Velquin in this session holds it
        ${Break}
      ${EndIf}
      System::Call 'kernel32::GetTickCount() i .r4'
      IntOp $4 $3 - $4
      ${If} $4 < 0
        StrCpy $4 0
      ${EndIf}
      ; WAIT_OBJECT_0, or WAIT_ABANDONED (0x80) when it ended holding it.
      System::Call 'kernel32::WaitForSingleObject(p r1, i r4) i .r4'
      ${If} $4 = 0
      ${OrIf} $4 = 0x80
        System::Call 'kernel32::ReleaseMutex(p r1)'
        StrCpy $0 0
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
      ${Break}
    ${EndIf}
    System::Call 'kernel32::GetTickCount() i .r4'
    IntOp $4 $3 - $4
    ${If} $4 < 0
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  Pop $4
  Pop $3
  Pop $1
FunctionEnd

; Ends every Velquin started from $INSTDIR; adds each one ended to $Ended.
; Sets $EndFailed to 1 when one would not end.
Function EndVelquin
  Push $0
  Push $1
  Push $2
  Push $7
  Push $8
  Push $9
  Push $R0
  Push $R1
  StrCpy $EndFailed 0
  ${Do}
    StrCpy $1 "${APP_CLASS}"
    StrCpy $2 0
    Call FindVelquinWindow
    ${If} $0 = 0
      StrCpy $1 "${MAIN_CLASS}"
      StrCpy $2 0
      Call FindVelquinWindow
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    StrCpy $9 $0
    DetailPrint "ヴェルキン (プロセス $9) を終了しています..."
    ; SYNCHRONIZE: the handle to wait on, taken before the process may end. It may
    ; be refused; the wait then goes by the windows and the session mutex.
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r9) p .R1'
    ; May the logon end? The main window answers first, as its close query runs.
    StrCpy $7 ${WM_QUERYENDSESSION}
    StrCpy $8 0
    StrCpy $1 "${MAIN_CLASS}"
    Call SendToVelquinWindows
    StrCpy $0 $R0
    StrCpy $1 "${APP_CLASS}"
    Call SendToVelquinWindows
    ${If} $0 = 0
    ${OrIf} $R0 = 0
      ; Refused or not answering: tell it that the logon goes on.
      StrCpy $7 ${WM_ENDSESSION}
      StrCpy $8 0
      StrCpy $1 "${MAIN_CLASS}"
      Call SendToVelquinWindows
      StrCpy $1 "${APP_CLASS}"
      Call SendToVelquinWindows
      ${If} $R1 P<> 0
        System::Call 'kernel32::CloseHandle(p R1)'
      ${EndIf}
      StrCpy $EndFailed 1
      ${Break}
    ${EndIf}
    ; The logon ends: the application window saves the list and ends the process.
    StrCpy $7 ${WM_ENDSESSION}
    StrCpy $8 1
    StrCpy $1 "${MAIN_CLASS}"
    Call SendToVelquinWindows
    StrCpy $1 "${APP_CLASS}"
    Call SendToVelquinWindows
    ${If} $R1 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p R1, i ${END_MS}) i .r0'
      System::Call 'kernel32::CloseHandle(p R1)'
    ${Else}
      Call WaitForUnopenedVelquin
    ${EndIf}
    ${If} $0 <> 0
      StrCpy $EndFailed 1
      ${Break}
    ${EndIf}
    IntOp $Ended $Ended + 1
  ${Loop}
  Pop $R1
  Pop $R0
  Pop $9
  Pop $8
  Pop $7
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Ends a running Velquin; while one will not end, offers to retry, else aborts
; with exit code 2.
Function EndVelquinOrAbort
  ${Do}
    Call EndVelquin
    ${If} $EndFailed = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "ヴェルキンを終了できませんでした。$\r$\nヴェルキンを終了してから「再試行」を押してください。" \
      /SD IDCANCEL IDRETRY retry
    DetailPrint "ヴェルキンが終了しないため、中止しました。"
    SetErrorLevel ${EXIT_STILL_RUNNING}
    Abort
    retry:
  ${Loop}
FunctionEnd

; Starts $INSTDIR\Velquin.exe again, minimised into the tray, when this run ended
; a copy. Never from an elevated process: every task would open elevated. Velquin
; then comes back with the next log-on (its Startup shortcut).
Function StartEndedVelquin
  ${If} $Ended > 0
  ${AndIf} ${FileExists} "$INSTDIR\${EXE_NAME}"
    ${If} $Elevated = 1
      DetailPrint "管理者として実行しているため、ヴェルキンは起動しません。次のログオンで起動します。"
    ${Else}
      ; ExecShell knows no SW_SHOWMINNOACTIVE.
      System::Call 'shell32::ShellExecuteW(p $HWNDPARENT, w "open", w "$INSTDIR\${EXE_NAME}", p 0, w "$INSTDIR", i ${SW_SHOWMINNOACTIVE}) p'
      StrCpy $Restarted 1
    ${EndIf}
    StrCpy $Ended 0
  ${EndIf}
FunctionEnd

; Removes $INSTDIR once nothing is left in it. A Velquin that has just ended may
; hold it a moment longer as its working folder: tries again for up to five seconds.
; A folder that still holds something (the user's own files) stays.
Function RemoveInstallFolder
  Push $0
  Push $1
  ${ForEach} $0 1 50 + 1
    ${DirState} "$INSTDIR" $1
    ${If} $1 <> 0
      ${Break}  ; gone, or not empty
    ${EndIf}
    RMDir "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  Pop $1
  Pop $0
FunctionEnd

; uninst.exe moves itself out of the folder it removes and runs the uninstaller
; proper from a copy (app/Uninstall.cpp); the files of earlier runs that have ended
; are removed here.
!define UNINSTALLER_ASIDE "Velquin-uninst"
Function RemoveUninstallersSetAside
  Delete "$TEMP\${UNINSTALLER_ASIDE}-*.exe"
  Delete "$INSTDIR.${UNINSTALLER_ASIDE}-*.tmp"
FunctionEnd

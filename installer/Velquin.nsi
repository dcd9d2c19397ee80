; Velquin's installer: per user, without administrator rights, Japanese pages.
; Built by scripts/dist.sh, which defines VERSION (1.1), VERSION4 (1.1.0.0),
; STAGE (a folder holding Velquin.exe, readme.txt and LICENSE.txt), ICON and OUTFILE.
;
; Switches: /S silent with the defaults, /D=folder (last, unquoted).
; The uninstaller: /S keeps the task list, /DELETELIST deletes it without asking.

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include Sections.nsh

!define PRODUCT "ヴェルキン"
!define PUBLISHER "HALVERN"
!define LINK "ヴェルキン.lnk"
!define EXE_NAME "Velquin.exe"
!define UNINSTALLER "uninst.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velquin"
!define LIST_KEY "SOFTWARE\HALVERN\Velquin"
; How long a running Velquin may take to answer, and then to save its list and end.
!define ANSWER_MS 10000
!define END_MS 30000
; The class names of Velquin's two top-level windows: the main window, and the
; application window that carries the taskbar button and ends the program at the
; end of the logon.
!define MAIN_CLASS "T_MainForm"
!define APP_CLASS "TApplication"
!define ENDSESSION_CLOSEAPP 1

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velquin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"

Var Ended       ; copies of Velquin that the installer ended (restarted afterwards)
Var DeleteList  ; 1: the uninstaller deletes the task list without asking
Var EndFailed   ; 1: a running Velquin did not end

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_WELCOMEPAGE_TEXT "セットアップは、$(^NameDA) ${VERSION} のインストールをご案内します。管理者の権限は要りません。$\r$\n$\r$\nヴェルキンが起動していれば、セットアップはタスクの一覧を保存させて終了させ、インストールの後にタスクトレイで起動し直します。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE_NAME}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "説明書 (readme.txt) を表示する"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (C) 2026 HALVERN"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} ${VERSION} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION4}"

; --- Ending a running Velquin ----------------------------------------------------
; Velquin writes its task list only when it ends. An upgrade or an uninstall ends
; it the way Windows does at the end of the logon: WM_QUERYENDSESSION to its
; windows (it asks nothing then), WM_ENDSESSION with a non-zero WParam (its
; application window saves the list and ends the process), and a bounded wait for
; the process. It is never killed: one that does not end is reported instead.
; Only copies started from $INSTDIR count; other programs may use the same class
; names, and a portable copy elsewhere holds no file of this folder.

!macro VELQUIN_ENDING un
; Out: $0 the process id of the first window of class $1 that runs
; $INSTDIR\Velquin.exe, after the window $2 (0: from the first), or 0; $2 that window.
Function ${un}FindVelquinWindow
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
; window of class $1 of process $9. Out: $R0 0 when a window answered 0 or did not
; answer in time, else 1.
Function ${un}SendToVelquinWindows
  Push $0
  Push $2
  Push $3
  StrCpy $R0 1
  StrCpy $2 0
  ${Do}
    Call ${un}FindVelquinWindow
    ${If} $2 = 0
      ${Break}
    ${EndIf}
    ${If} $0 = $9
      SendMessage $2 $7 $8 ${ENDSESSION_CLOSEAPP} $3 /TIMEOUT=${ANSWER_MS}
      ${If} $3 = 0
        StrCpy $R0 0
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $0
FunctionEnd

; Ends every Velquin started from $INSTDIR; adds each one ended to $Ended.
; Sets $EndFailed to 1 when one would not end.
Function ${un}EndVelquin
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
    Call ${un}FindVelquinWindow
    ${If} $0 = 0
      StrCpy $1 "${MAIN_CLASS}"
      StrCpy $2 0
      Call ${un}FindVelquinWindow
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    StrCpy $9 $0
    DetailPrint "ヴェルキン (プロセス $9) を終了しています..."
    ; SYNCHRONIZE: the handle to wait on, taken before the process may end.
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r9) p .R1'
    ; May the logon end? The main window answers first, as its close query runs.
    StrCpy $7 ${WM_QUERYENDSESSION}
    StrCpy $8 0
    StrCpy $1 "${MAIN_CLASS}"
    Call ${un}SendToVelquinWindows
    StrCpy $0 $R0
    StrCpy $1 "${APP_CLASS}"
    Call ${un}SendToVelquinWindows
    ${If} $0 = 0
    ${OrIf} $R0 = 0
      ; Refused or not answering: tell it that the logon goes on.
      StrCpy $7 ${WM_ENDSESSION}
      StrCpy $8 0
      StrCpy $1 "${MAIN_CLASS}"
      Call ${un}SendToVelquinWindows
      StrCpy $1 "${APP_CLASS}"
      Call ${un}SendToVelquinWindows
      System::Call 'kernel32::CloseHandle(p R1)'
      StrCpy $EndFailed 1
      ${Break}
    ${EndIf}
    ; The logon ends: the application window saves the list and ends the process.
    StrCpy $7 ${WM_ENDSESSION}
    StrCpy $8 1
    StrCpy $1 "${MAIN_CLASS}"
    Call ${un}SendToVelquinWindows
    StrCpy $1 "${APP_CLASS}"
    Call ${un}SendToVelquinWindows
    System::Call 'kernel32::WaitForSingleObject(p R1, i ${END_MS}) i .r0'
    System::Call 'kernel32::CloseHandle(p R1)'
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

; Ends a running Velquin; while one will not end, offers to retry, else aborts.
Function ${un}EndVelquinOrAbort
  ${Do}
    Call ${un}EndVelquin
    ${If} $EndFailed = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "ヴェルキンを終了できませんでした。$\r$\nヴェルキンを終了してから「再試行」を押してください。" \
      /SD IDCANCEL IDRETRY retry
    DetailPrint "ヴェルキンが終了しないため、中止しました。"
    Abort
    retry:
  ${Loop}
FunctionEnd
!macroend

!insertmacro VELQUIN_ENDING ""
!insertmacro VELQUIN_ENDING "un."

; --- Installing ---------------------------------------------------------------

Section "!ヴェルキン本体" SecProgram
  SectionIn RO
  StrCpy $Ended 0
  Call EndVelquinOrAbort
  SetOutPath "$INSTDIR"
  File "${STAGE}/${EXE_NAME}"
  File "${STAGE}/readme.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
SectionEnd

Section "スタートメニュー" SecStartMenu
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${LINK}" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 SW_SHOWNORMAL
SectionEnd

; Run minimised: the show command 7 takes Velquin straight to the tray at log-on.
Section "スタートアップ (ログオン時にタスクトレイで起動)" SecStartup
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMSTARTUP\${LINK}" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 SW_SHOWMINIMIZED
SectionEnd

Section "-Register"
  ; A shortcut of an earlier install that was not chosen this time goes.
  ${IfNot} ${SectionIsSelected} ${SecStartMenu}
    Delete "$SMPROGRAMS\${LINK}"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\${LINK}"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; A Velquin that the upgrade ended comes back as the Startup shortcut starts it.
  ${If} $Ended > 0
    ; ExecShell knows no SW_SHOWMINNOACTIVE.
    System::Call 'shell32::ShellExecuteW(p $HWNDPARENT, w "open", w "$INSTDIR\${EXE_NAME}", p 0, w "$INSTDIR", i ${SW_SHOWMINNOACTIVE}) p'

  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "ヴェルキンのプログラムと説明書 (readme.txt)。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartMenu} "スタートメニューにヴェルキンを登録します。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "ログオンのたびにヴェルキンを最小化で起動し、タスクトレイに入れます。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Velquin is running again already when the upgrade ended it: no second copy.
Function FinishPageShow
  ${If} $Ended > 0
    SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:$(^NameDA) は、このコンピュータにインストールされました。$\r$\n$\r$\n終了させたヴェルキンは、タスクトレイで起動し直しました。$\r$\n$\r$\n「完了」をクリックしセットアップを閉じます。"
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

; --- Uninstalling -------------------------------------------------------------

Function un.onInit
  StrCpy $DeleteList 0
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/DELETELIST" $1
  ${IfNot} ${Errors}
    StrCpy $DeleteList 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ${If} $DeleteList = 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "タスクの一覧も削除しますか？$\r$\n(レジストリの HKEY_CURRENT_USER\${LIST_KEY})$\r$\n$\r$\n「いいえ」を選ぶと一覧は残り、もう一度インストールするとそのまま使えます。" \
      /SD IDNO IDNO keep
    StrCpy $DeleteList 1
    keep:
  ${EndIf}

  ; Before the list goes: a running Velquin would write it again as it ends.
  StrCpy $Ended 0
  Call un.EndVelquinOrAbort

  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${LINK}"
  Delete "$SMSTARTUP\${LINK}"

  ${If} $DeleteList = 1
    DeleteRegKey HKCU "${LIST_KEY}"
    DeleteRegKey /ifempty HKCU "SOFTWARE\HALVERN"
  ${EndIf}
  ; Last: the entry is gone only once everything else is.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

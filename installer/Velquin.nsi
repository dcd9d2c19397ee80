; Velquin's installer: per user, without administrator rights, Japanese pages.
; Built by scripts/dist.sh, which defines what Velquin.nsh names, and STAGE (a folder
; holding Velquin.exe, readme.txt, LICENSE.txt and the uninstaller: uninst.exe and
; uninst-core.exe).
;
; Switches: /S silent, with the components of the last install (or both shortcuts);
; /NOSTARTMENU and /NOSTARTUP leave out a shortcut; /D=folder (last, unquoted).
; Exit codes: see Velquin.nsh. A file that cannot be written is never skipped: the
; installer stops, puts back what it had changed, starts again a Velquin it had
; ended, and exits with 3; the installed-programs entry keeps the old version.

!addincludedir "${__FILEDIR__}"
!include Velquin.nsh
!include Sections.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velquin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
AllowSkipFiles off

Var Writing  ; 1: files of this folder are being replaced; a failure puts them back
Var OldDir   ; the folder of the install this one upgrades, or ""

!define MUI_ICON "${ICON}"
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

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro VELQUIN_VERSION_BLOCK "セットアップ"

; --- Putting back what a failed install changed ---------------------------------

!macro VELQUIN_FILES MACRO
  !insertmacro ${MACRO} "${EXE_NAME}"
  !insertmacro ${MACRO} "readme.txt"
  !insertmacro ${MACRO} "LICENSE.txt"
  !insertmacro ${MACRO} "${UNINSTALLER}"
  !insertmacro ${MACRO} "${UNINSTALLER_CORE}"
!macroend

; A copy of each file the install replaces, kept until it has succeeded.
!macro BACK_UP NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    CopyFiles /SILENT "$INSTDIR\${NAME}" "$PLUGINSDIR\previous"
  ${EndIf}
!macroend
!macro PUT_BACK NAME
  ${If} ${FileExists} "$PLUGINSDIR\previous\${NAME}"
    CopyFiles /SILENT "$PLUGINSDIR\previous\${NAME}" "$INSTDIR"
  ${Else}
    Delete "$INSTDIR\${NAME}"
  ${EndIf}
!macroend

; Stops the install with exit code 3; .onInstFailed puts back what was changed.
!macro FAIL_WRITING WHAT
  DetailPrint "${WHAT} を書き込めませんでした。"
  MessageBox MB_OK|MB_ICONSTOP "${WHAT} を書き込めませんでした。インストールを中止し、元に戻します。" /SD IDOK
  SetErrorLevel ${EXIT_WRITE_FAILED}
  Abort
!macroend

Function .onInstFailed
  ${If} $Writing = 1
    DetailPrint "元に戻しています..."
    !insertmacro VELQUIN_FILES PUT_BACK
    RMDir "$INSTDIR"  ; only when this install created it
    StrCpy $Writing 0
    SetErrorLevel ${EXIT_WRITE_FAILED}
  ${EndIf}
  Call StartEndedVelquin
FunctionEnd

; --- Installing ---------------------------------------------------------------

Section "!ヴェルキン本体" SecProgram
  SectionIn RO
  StrCpy $Ended 0
  Call RemoveUninstallersSetAside
  Call EndVelquinOrAbort
  InitPluginsDir
  CreateDirectory "$PLUGINSDIR\previous"
  ClearErrors
  !insertmacro VELQUIN_FILES BACK_UP
  ${If} ${Errors}
    !insertmacro FAIL_WRITING "$INSTDIR"
  ${EndIf}
  StrCpy $Writing 1
  SetOutPath "$INSTDIR"
  ; AllowSkipFiles off: a file that cannot be written asks to retry or stop (silent:
  ; stop), and stopping runs .onInstFailed.
  File "${STAGE}/${EXE_NAME}"
  File "${STAGE}/readme.txt"
  File "${STAGE}/LICENSE.txt"
  File "${STAGE}/${UNINSTALLER}"
  File "${STAGE}/${UNINSTALLER_CORE}"
SectionEnd

Section "スタートメニュー" SecStartMenu
  ClearErrors
  CreateShortCut "$SMPROGRAMS\${LINK}" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 SW_SHOWNORMAL
  ${If} ${Errors}
    !insertmacro FAIL_WRITING "$SMPROGRAMS\${LINK}"
  ${EndIf}
SectionEnd

; Run minimised: the show command 7 takes Velquin straight to the tray at log-on.
Section "スタートアップ (ログオン時にタスクトレイで起動)" SecStartup
  ClearErrors
  CreateShortCut "$SMSTARTUP\${LINK}" "$INSTDIR\${EXE_NAME}" "" "$INSTDIR\${EXE_NAME}" 0 SW_SHOWMINIMIZED
  ${If} ${Errors}
    !insertmacro FAIL_WRITING "$SMSTARTUP\${LINK}"
  ${EndIf}
SectionEnd

!macro REMEMBER_CHOICE SECTION VALUE
  ${If} ${SectionIsSelected} ${SECTION}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${VALUE}" 1
  ${Else}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${VALUE}" 0
  ${EndIf}
!macroend

Section "-Register"
  ; A shortcut of an earlier install that was not chosen this time goes.
  ${IfNot} ${SectionIsSelected} ${SecStartMenu}
    Delete "$SMPROGRAMS\${LINK}"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\${LINK}"
  ${EndIf}

  ClearErrors
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
  ; The components chosen, for the next silent upgrade.
  !insertmacro REMEMBER_CHOICE ${SecStartMenu} "StartMenuShortcut"
  !insertmacro REMEMBER_CHOICE ${SecStartup} "StartupShortcut"
  ${If} ${Errors}
    !insertmacro FAIL_WRITING "HKEY_CURRENT_USER\${UNINSTALL_KEY}"
  ${EndIf}
  StrCpy $Writing 0

  Call RemoveOldCopy
  ; A Velquin that this install ended comes back as the Startup shortcut starts it.
  Call StartEndedVelquin
SectionEnd

; An upgrade into another folder: the copy in the old folder is ended and removed
; once the new one is in place and registered. Its task list is the user's, shared.
Function RemoveOldCopy
  ${If} $OldDir == ""
  ${OrIfNot} ${FileExists} "$OldDir\*.*"
    Return
  ${EndIf}
  ; The same folder may be named in its short form, or in other letter cases.
  System::Call 'kernel32::GetLongPathNameW(w "$OldDir", w .r0, i ${NSIS_MAX_STRLEN}) i .r2'
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r1, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $2 = 0
  ${OrIf} $3 = 0
  ${OrIf} $0 == $1
    Return
  ${EndIf}
  Push $INSTDIR
  StrCpy $INSTDIR $OldDir
  DetailPrint "前のフォルダー $OldDir のヴェルキンを削除しています..."
  Call EndVelquin
  ${If} $EndFailed = 1
    Pop $INSTDIR
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "前のフォルダーのヴェルキンを終了できなかったため、$OldDir は残しました。" /SD IDOK
    SetErrorLevel ${EXIT_STILL_RUNNING}
    Return
  ${EndIf}
  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$INSTDIR\${UNINSTALLER_CORE}"
  Call RemoveInstallFolder
  Pop $INSTDIR
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "ヴェルキンのプログラムと説明書 (readme.txt)。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartMenu} "スタートメニューにヴェルキンを登録します。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "ログオンのたびにヴェルキンを最小化で起動し、タスクトレイに入れます。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; A component left out by the last install, or by a switch, starts unticked.
!macro LEAVE_OUT_IF_SO SECTION VALUE SWITCH
  ClearErrors
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${VALUE}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 0
    !insertmacro UnselectSection ${SECTION}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "${SWITCH}" $0
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SECTION}
  ${EndIf}
!macroend

Function .onInit
  Call RefuseOtherAccounts
  StrCpy $Writing 0
  StrCpy $Ended 0
  StrCpy $Restarted 0
  ReadRegStr $OldDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${GetParameters} $R0
  !insertmacro LEAVE_OUT_IF_SO ${SecStartMenu} "StartMenuShortcut" "/NOSTARTMENU"
  !insertmacro LEAVE_OUT_IF_SO ${SecStartup} "StartupShortcut" "/NOSTARTUP"
FunctionEnd

; Velquin is running again already when the upgrade ended it: no second copy. An
; elevated installer starts none.
Function FinishPageShow
  ${If} $Elevated = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${ElseIf} $Restarted = 1
    SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:$(^NameDA) は、このコンピュータにインストールされました。$\r$\n$\r$\n終了させたヴェルキンは、タスクトレイで起動し直しました。$\r$\n$\r$\n「完了」をクリックしセットアップを閉じます。"
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

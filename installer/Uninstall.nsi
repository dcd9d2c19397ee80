; Velquin's uninstaller proper, uninst-core.exe in the install folder. Built by
; scripts/dist.sh before the installer, which carries it. uninst.exe (app/Uninstall.cpp)
; runs a copy of it from the temporary folder, with /D= naming the install folder,
; and waits for it, so that its exit code reaches whoever started uninst.exe.
;
; Switches: /S silent, keeping the task list; /DELETELIST deletes the task list
; without asking. Exit codes: see Velquin.nsh.

!addincludedir "${__FILEDIR__}"
!include Velquin.nsh

Name "${PRODUCT}"
Caption "$(^NameDA) のアンインストール"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show

Var DeleteList  ; 1: delete the task list without asking

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "$(^NameDA) のアンインストールを中止しますか？"

!define MUI_WELCOMEPAGE_TITLE "$(^NameDA) のアンインストール"
!define MUI_WELCOMEPAGE_TEXT "$(^NameDA) を $INSTDIR から削除します。ヴェルキンが起動していれば、タスクの一覧を保存させて終了させます。$\r$\n$\r$\n続けるには「アンインストール」をクリックしてください。"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ConfirmPageShow
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "アンインストール"
!define MUI_PAGE_HEADER_SUBTEXT "$(^NameDA) をこのコンピュータから削除しています。"
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "アンインストールの完了"
!define MUI_INSTFILESPAGE_FINISHHEADER_SUBTEXT "$(^NameDA) は削除されました。"
!define MUI_INSTFILESPAGE_ABORTHEADER_TEXT "アンインストールの中止"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "$(^NameDA) は削除されていません。"
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro VELQUIN_VERSION_BLOCK "アンインストール"

Function ConfirmPageShow
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:アンインストール(&U)"
FunctionEnd

!macro FAIL_IF_LEFT PATH
  ${If} ${FileExists} "${PATH}"
    DetailPrint "${PATH} を削除できませんでした。"
    StrCpy $0 1
  ${EndIf}
!macroend

Section "-Remove"
  ${If} $DeleteList = 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "タスクの一覧も削除しますか？$\r$\n(レジストリの HKEY_CURRENT_USER\${LIST_KEY})$\r$\n$\r$\n「いいえ」を選ぶと一覧は残り、もう一度インストールするとそのまま使えます。" \
      /SD IDNO IDNO keep
    StrCpy $DeleteList 1
    keep:
  ${EndIf}

  ; Before the list goes: a running Velquin would write it again as it ends.
  StrCpy $Ended 0
  Call EndVelquinOrAbort

  Delete "$INSTDIR\${EXE_NAME}"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$INSTDIR\${UNINSTALLER_CORE}"
  Delete "$SMPROGRAMS\${LINK}"
  Delete "$SMSTARTUP\${LINK}"
  StrCpy $0 0
  !insertmacro FAIL_IF_LEFT "$INSTDIR\${EXE_NAME}"
  !insertmacro FAIL_IF_LEFT "$INSTDIR\readme.txt"
  !insertmacro FAIL_IF_LEFT "$INSTDIR\LICENSE.txt"
  !insertmacro FAIL_IF_LEFT "$INSTDIR\${UNINSTALLER}"
  !insertmacro FAIL_IF_LEFT "$INSTDIR\${UNINSTALLER_CORE}"
  !insertmacro FAIL_IF_LEFT "$SMPROGRAMS\${LINK}"
  !insertmacro FAIL_IF_LEFT "$SMSTARTUP\${LINK}"
  ${If} $0 = 1
    ; The entry stays for another try (uninst.exe puts itself back).
    Call StartEndedVelquin
    MessageBox MB_OK|MB_ICONSTOP "削除できないファイルがあったため、アンインストールを中止しました。" /SD IDOK
    SetErrorLevel ${EXIT_WRITE_FAILED}
    Abort
  ${EndIf}
  Call RemoveInstallFolder

  ${If} $DeleteList = 1
    DeleteRegKey HKCU "${LIST_KEY}"
    DeleteRegKey /ifempty HKCU "SOFTWARE\HALVERN"
  ${EndIf}
  ; Last: the entry is gone only once everything else is.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function .onInit
  Call RefuseOtherAccounts
  StrCpy $Ended 0
  StrCpy $Restarted 0
  ; Started by uninst.exe, from a copy, with /D= naming the install folder. Started
  ; otherwise, from the folder, it could not remove its own file: uninst.exe does it.
  ${If} $INSTDIR == ""
    ${GetParameters} $0
    Exec '"$EXEDIR\${UNINSTALLER}" $0'
    Quit
  ${EndIf}
  Call RemoveUninstallersSetAside
  StrCpy $DeleteList 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DELETELIST" $1
  ${IfNot} ${Errors}
    StrCpy $DeleteList 1
  ${EndIf}
FunctionEnd

#pragma once
// The modal message dialog and the file-open dialog.
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Forms.h"

namespace velquin {

// The type fixes caption and icon: confirmation "確認" with a question icon,
// error "エラー" with an error icon.
enum class TMsgDlgType { Confirmation, Error };
enum TMsgDlgButton : unsigned { mbYes = 1, mbNo = 2, mbOK = 4 };

// Shows `text` in a modal dialog of our own (window class "TMessageForm"), so the
// captions are these on any system locale. The first button is the default;
// Esc answers "いいえ(&N)", or "OK" when that is the only button. Returns mrYes,
// mrNo, mrOk, or mrCancel when the dialog was closed some other way.
int MessageDlg(std::string_view text, TMsgDlgType type, unsigned buttons);

// Why a path the user chose or typed is refused: code page 932 cannot hold it.
inline constexpr char kNotInShiftJisMessage[] =
    "選択したファイルのパスには、ヴェルキンで扱えない文字 (Shift_JIS にない文字) が"
    "含まれています。\r\n別の場所か別の名前のファイルを選択してください";

// The system's file-open dialog with the read-only box hidden, resizable, free to
// change the process's current directory, and no initial file name. A chosen path
// that code page 932 cannot represent is refused with an error (FileName stays as
// it was).
class TOpenDialog : public TComponent {
 public:
  TOpenDialog(TComponent* owner, std::string name);
  std::string Title;
  std::string Filter;  // "description|pattern|…"
  std::string FileName;
  // Runs the dialog; true when the user confirmed a file (then FileName is its
  // full path).
  bool Execute();
  // Shows the system dialog; tests replace it.
  static std::function<BOOL(OPENFILENAMEW& ofn)> Show;
};

}  // namespace velquin

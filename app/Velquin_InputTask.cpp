#include "app/Velquin_InputTask.h"

#include <optional>

#include "core/Exception.h"
#include "core/tasks/TaskLine.h"
#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

using enum TControlKind;

// clang-format off
const TControlDesc kInputTaskControls[] = {
  // kind       name           caption                                                                    left top  width      height     anchors    tab     options
  {Label,      "cxLabel1",    "実行するファイル名を入力してください （実行時パラメータを指定できます）", 8,   8,   kAutoSize, kAutoSize, akLeftTop, kNoTab},
  {ButtonEdit, "edtFileName", "",                                                                         8,   32,  465,       kAutoSize, akLeftTop, 1},
  {Button,     "btnOK",       "OK(&O)",                                                                   129, 64,  105,       25,        akLeftTop, 0,      optDefault | optDisabled},
  {Button,     "btnCancel",   "キャンセル(&C)",                                                           249, 64,  105,       25,        akLeftTop, 3,      optCancel | optModalCancel},
};
// clang-format on

const TFormDesc kInputTaskForm{"_InputTaskForm", "タスク入力", 482, 95, TBorderStyle::Dialog, TPosition::ScreenCenter,
                               kInputTaskControls};

}  // namespace

T_InputTaskForm::T_InputTaskForm(TComponent* owner, FileSystem& fileSystem)
    : TForm(owner, kInputTaskForm), fileSystem_(fileSystem) {}

void T_InputTaskForm::CreateComponents() {
  dlgTask = new TOpenDialog(this, "dlgTask");
  dlgTask->Title = "ファイルを開く";
  dlgTask->Filter = "すべてのファイル (*.*)|*.*";
}

void T_InputTaskForm::Loaded() {
  btnOK = Control<TButton>("btnOK");
  edtFileName = Control<TButtonEdit>("edtFileName");
  cxLabel1 = Control<TLabel>("cxLabel1");
  btnCancel = Control<TButton>("btnCancel");
  btnOK->OnClick = [this](TComponent* s) { btnOKClick(s); };
  edtFileName->OnChange = [this](TComponent* s) { edtFileNamePropertiesChange(s); };
  edtFileName->OnButtonClick = [this](TComponent* s, int i) { edtFileNamePropertiesButtonClick(s, i); };
}

void T_InputTaskForm::PrepareEdit(std::string_view Line) {
  edtFileName->SetText(Line);
  SetCaption("タスク編集");
}

void T_InputTaskForm::edtFileNamePropertiesChange(TComponent*) {
  btnOK->SetEnabled(!Trim(edtFileName->Text()).empty());
}

void T_InputTaskForm::edtFileNamePropertiesButtonClick(TComponent*, int) {
  if (dlgTask->Execute()) edtFileName->SetText("\"" + dlgTask->FileName + "\"");
}

void T_InputTaskForm::btnOKClick(TComponent*) {
  std::string message;
  try {
    // Read exactly as typed: a character code page 932 cannot hold would come back
    // as another one, naming another file.
    const std::optional<std::string> text = edtFileName->ExactText();
    if (!text) throw Exception(kNotInShiftJisMessage);
    std::string fileName, params;
    if (ParseTaskLine(fileSystem_, Trim(*text), fileName, params)) {
      TaskFileName = std::move(fileName);
      TaskParams = std::move(params);
      SetModalResult(mrOk);
      return;
    }
    message = "このようなファイルは存在しません。\r\n正しいファイル名を入力してください。";
  } catch (const Exception& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    message = e.what();
  }
  MessageDlg(message, TMsgDlgType::Error, mbOK);
}

}  // namespace velquin

#pragma once
// The task input dialog: one edit field for a file name with optional parameters,
// accepted only when the file exists.
#include <string>
#include <string_view>

#include "core/ports/FileSystem.h"
#include "toolkit/Actions.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"

namespace velquin {

class T_InputTaskForm : public TForm {
 public:
  T_InputTaskForm(TComponent* owner, FileSystem& fileSystem);

  TButton* btnOK = nullptr;
  TButtonEdit* edtFileName = nullptr;
  TLabel* cxLabel1 = nullptr;
  TButton* btnCancel = nullptr;
  TOpenDialog* dlgTask = nullptr;
  // After acceptance: the file name in double quotes, and the trimmed parameters.
  std::string TaskFileName;
  std::string TaskParams;

  // Opens the dialog on `Line` for the edit command.
  void PrepareEdit(std::string_view Line);

  void edtFileNamePropertiesChange(TComponent* Sender);
  void edtFileNamePropertiesButtonClick(TComponent* Sender, int AButtonIndex);
  void btnOKClick(TComponent* Sender);

 protected:
  void CreateComponents() override;
  void Loaded() override;

 private:
  FileSystem& fileSystem_;
};

}  // namespace velquin

#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "platform/SystemLibrary.h"
#include "toolkit/Controls.h"

namespace velquin {
namespace {

class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, std::string_view text, TMsgDlgType type, unsigned buttons)
      : TForm(owner, desc_), text_(text), type_(type), buttons_(buttons) {
    desc_ = TFormDesc{"MessageForm", type == TMsgDlgType::Confirmation ? "確認" : "エラー", 300, 100,
                      TBorderStyle::Dialog, TPosition::ScreenCenter, {}};
  }

 protected:
  void Loaded() override {
    static const TControlDesc kIcon{TControlKind::Image, "Image", "", 16, 16, 32, 32, akLeftTop, kNoTab};
    static const TControlDesc kText{TControlKind::Label, "Message", "", 64, 16, kAutoSize, kAutoSize, akLeftTop,
                                    kNoTab, optNoPrefix};
    auto* image = new TImage(this, kIcon);
    image->Picture().SetIcon(LoadIconA(nullptr, type_ == TMsgDlgType::Confirmation ? IDI_QUESTION : IDI_ERROR));
    auto* label = new TLabel(this, kText);
    label->SetCaption(text_);
    if (label->Height() < 32) label->SetTop(16 + (32 - label->Height()) / 2);

    struct Choice {
      unsigned flag;
      const char* name;
      const char* caption;
      int result;
    };
    static const Choice kChoices[] = {{mbYes, "Yes", "はい(&Y)", mrYes},
                                      {mbNo, "No", "いいえ(&N)", mrNo},
                                      {mbOK, "OK", "OK", mrOk}};
    std::vector<const Choice*> chosen;
    for (const Choice& c : kChoices) {
      if (buttons_ & c.flag) chosen.push_back(&c);
    }
    if (chosen.empty()) chosen.push_back(&kChoices[2]);
    constexpr int kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
    const int row = std::max(48, label->Top() + label->Height()) + 16;
    const int buttonsWidth = static_cast<int>(chosen.size()) * (kButtonWidth + kGap) - kGap;
    const int width = std::max({label->Left() + label->Width() + 16, buttonsWidth + 32, 200});
    SetClientSize(width, row + kButtonHeight + 12);
    int left = (width - buttonsWidth) / 2;
    for (size_t i = 0; i < chosen.size(); ++i) {
      buttonDescs_.push_back(TControlDesc{TControlKind::Button, chosen[i]->name, chosen[i]->caption, left, row,
                                          kButtonWidth, kButtonHeight, akLeftTop, static_cast<int>(i)});
      left += kButtonWidth + kGap;
    }
    for (size_t i = 0; i < chosen.size(); ++i) {
      auto* button = new TButton(this, buttonDescs_[i]);
      button->ModalResult = chosen[i]->result;
      button->Default = i == 0;
      button->Cancel = chosen[i]->flag == mbNo || chosen.size() == 1;
    }
  }

 private:
  TFormDesc desc_;
  std::string text_;
  TMsgDlgType type_;
  unsigned buttons_;
  std::vector<TControlDesc> buttonDescs_;
};

// The common dialog library is loaded on first use: linked at start it brings the
// printing libraries along and adds megabytes to the working set of a program
// that mostly waits in the tray.
using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEA);

GetOpenFileNameProc OpenFileDialogProc() {
  static GetOpenFileNameProc proc = [] {
    HMODULE module = LoadSystemLibrary("comdlg32.dll");
    return module ? reinterpret_cast<GetOpenFileNameProc>(
                        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameA")))
                  : nullptr;
  }();
  return proc;
}

}  // namespace

int MessageDlg(std::string_view text, TMsgDlgType type, unsigned buttons) {
  auto* form = CreateForm<TMessageForm>(Application(), text, type, buttons);
  TReleaseOnExit release(form);  // not when the end of the logon freed it meanwhile
  return form->ShowModal();
}

TOpenDialog::TOpenDialog(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

bool TOpenDialog::Execute() {
  std::string filter = Filter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.append(2, '\0');
  std::vector<char> file(32768, '\0');  // no initial name: an earlier pick is not offered
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  TApplication* app = Application();
  TForm* owner = app ? app->FindForm(GetActiveWindow()) : nullptr;
  ofn.hwndOwner = owner ? owner->Handle() : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  const GetOpenFileNameProc getOpenFileName = OpenFileDialogProc();
  if (!getOpenFileName) throw Exception("ファイルを開くダイアログを表示できません");
  if (!getOpenFileName(&ofn)) return false;
  FileName = file.data();
  return true;
}

}  // namespace velquin

#include "toolkit/Dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "toolkit/Controls.h"
#include "toolkit/Dpi.h"
#include "toolkit/WideText.h"

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
    const auto* icon = type_ == TMsgDlgType::Confirmation ? IDI_QUESTION : IDI_ERROR;
    image->Picture().SetIcon(LoadIconForDpi(nullptr, reinterpret_cast<LPCWSTR>(icon), SM_CXICON, Dpi()));
    auto* label = new TLabel(this, kText);
    label->SetCaption(text_);
    if (label->Height() < Scale(32)) label->SetTop(Scale(16) + (Scale(32) - label->Height()) / 2);

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
    // Designed lengths; the row and the width also follow the measured text.
    constexpr int kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
    const int row = std::max(Scale(48), label->Top() + label->Height()) + Scale(16);
    const int buttonsWidth = static_cast<int>(chosen.size()) * Scale(kButtonWidth + kGap) - Scale(kGap);
    const int width = std::max({label->Left() + label->Width() + Scale(16), buttonsWidth + Scale(32), Scale(200)});
    SetClientSize(width, row + Scale(kButtonHeight + 12));
    int left = (width - buttonsWidth) / 2;
    std::vector<int> lefts;
    for (size_t i = 0; i < chosen.size(); ++i) {
      buttonDescs_.push_back(TControlDesc{TControlKind::Button, chosen[i]->name, chosen[i]->caption, 0, 0,
                                          kButtonWidth, kButtonHeight, akLeftTop, static_cast<int>(i)});
      lefts.push_back(left);
      left += Scale(kButtonWidth + kGap);
    }
    for (size_t i = 0; i < chosen.size(); ++i) {
      auto* button = new TButton(this, buttonDescs_[i]);
      button->SetBounds(lefts[i], row, button->Width(), button->Height());
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
using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEW);

GetOpenFileNameProc OpenFileDialogProc() {
  static GetOpenFileNameProc proc = [] {
    HMODULE module = LoadLibraryW(L"comdlg32.dll");
    return module ? reinterpret_cast<GetOpenFileNameProc>(
                        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")))
                  : nullptr;
  }();
  return proc;
}

}  // namespace

int MessageDlg(std::string_view text, TMsgDlgType type, unsigned buttons) {
  auto* form = CreateForm<TMessageForm>(Application(), text, type, buttons);
  struct Free {
    TMessageForm* form;
    ~Free() { TComponent::Free(form); }
  } freeForm{form};
  return form->ShowModal();
}

TOpenDialog::TOpenDialog(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

std::function<BOOL(OPENFILENAMEW& ofn)> TOpenDialog::Show = [](OPENFILENAMEW& ofn) -> BOOL {
  const GetOpenFileNameProc getOpenFileName = OpenFileDialogProc();
  if (!getOpenFileName) throw Exception("ファイルを開くダイアログを表示できません");
  return getOpenFileName(&ofn);
};

bool TOpenDialog::Execute() {
  std::wstring filter = WideFromCp932(Filter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  const std::wstring title = WideFromCp932(Title);
  const std::wstring initial = WideFromCp932(FileName);
  std::vector<wchar_t> file(32768, L'\0');
  std::copy_n(initial.begin(), std::min(initial.size(), file.size() - 1), file.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  TApplication* app = Application();
  TForm* owner = app ? app->FindForm(GetActiveWindow()) : nullptr;
  ofn.hwndOwner = owner ? owner->Handle() : nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  if (!Show(ofn)) return false;
  // A name the program cannot keep is refused whole: a "?" in its place would
  // name another file, or none.
  std::optional<std::string> chosen = Cp932FromWide(file.data());
  if (!chosen) {
    throw Exception("選択したファイルのパスには、ヴェルキンで扱えない文字 (Shift_JIS にない文字) が"
                    "含まれています。\r\n別の場所か別の名前のファイルを選択してください");
  }
  FileName = std::move(*chosen);
  return true;
}

}  // namespace velquin

#include "library/HLVBaseCommonAboutForm.h"

#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

using enum TControlKind;
constexpr unsigned akTopRight = akTop | akRight;

// clang-format off
const TControlDesc kAboutControls[] = {
  // kind   name                    caption                       left top  width      height  anchors     tab    options
  {Image,  "imgAppIcon",           "",                           12,  12,  48,        48,     akLeftTop,  kNoTab},
  {Label,  "lblProductName",       "lblProductName",             72,  12,  kAutoSize, 12,     akLeftTop,  kNoTab, optBold | optNoPrefix},
  {Label,  "lblProductVersion",    "lblProductVersion",          72,  32,  kAutoSize, 12,     akLeftTop,  kNoTab, optNoPrefix},
  {Label,  "lblCompanyName",       "lblCompanyName",             72,  52,  kAutoSize, 12,     akLeftTop,  kNoTab, optNoPrefix},
  {Label,  "lblCopyright",         "lblCopyright",               72,  72,  kAutoSize, 12,     akLeftTop,  kNoTab, optNoPrefix},
  {Memo,   "memAppendix",          "",                           12,  108, 475,       99,     akAll,      0,      optNoTabStop},
  {Button, "btnClose",             "閉じる(&C)",                 340, 8,   147,       25,     akTopRight, 1,      optCancel},
  {Button, "btnJumpToUserRegSite", "ユーザー登録ページへ(&R)",   340, 40,  147,       25,     akTopRight, 2},
  {Button, "btnContactSite",       "お問い合せフォームへ(&T)",   340, 72,  147,       25,     akTopRight, 3},
};
// clang-format on

const TFormDesc kBaseAboutForm{"_HLVBaseCommonAboutForm", "ProgramName のバージョン情報", 500, 220,
                               TBorderStyle::Dialog, TPosition::ScreenCenter, kAboutControls};

}  // namespace

std::span<const TControlDesc> HLVCommonAboutControls() { return kAboutControls; }

T_HLVBaseCommonAboutForm::T_HLVBaseCommonAboutForm(TComponent* owner, Shell& shell)
    : T_HLVBaseCommonAboutForm(owner, kBaseAboutForm, shell) {}

T_HLVBaseCommonAboutForm::T_HLVBaseCommonAboutForm(TComponent* owner, const TFormDesc& desc, Shell& shell)
    : TForm(owner, desc), shell_(shell) {}

void T_HLVBaseCommonAboutForm::Loaded() {
  imgAppIcon = Control<TImage>("imgAppIcon");
  lblProductName = Control<TLabel>("lblProductName");
  lblProductVersion = Control<TLabel>("lblProductVersion");
  lblCompanyName = Control<TLabel>("lblCompanyName");
  lblCopyright = Control<TLabel>("lblCopyright");
  memAppendix = Control<TMemo>("memAppendix");
  btnClose = Control<TButton>("btnClose");
  btnJumpToUserRegSite = Control<TButton>("btnJumpToUserRegSite");
  btnContactSite = Control<TButton>("btnContactSite");

  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };
  btnJumpToUserRegSite->OnClick = [this](TComponent* s) { btnJumpToUserRegSiteClick(s); };
  btnContactSite->OnClick = [this](TComponent* s) { btnContactSiteClick(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
}

void T_HLVBaseCommonAboutForm::SetEnableRegSite(bool value) {
  if (FRegisterURL.empty()) return;
  FEnableRegSite = value;
  btnJumpToUserRegSite->SetEnabled(value);
}

void T_HLVBaseCommonAboutForm::SetAppendix(std::string_view value) { memAppendix->AddLine(Trim(value)); }

void T_HLVBaseCommonAboutForm::btnCloseClick(TComponent*) { Close(); }

void T_HLVBaseCommonAboutForm::btnJumpToUserRegSiteClick(TComponent*) { OpenURL(FRegisterURL); }

void T_HLVBaseCommonAboutForm::btnContactSiteClick(TComponent*) { OpenURL(FInquiryURL); }

void T_HLVBaseCommonAboutForm::OpenURL(const std::string& URL) {
  ShellExecuteRequest request;
  request.ownerWindow = reinterpret_cast<uintptr_t>(Handle());
  request.file = URL;
  request.showCommand = kSwShow;
  shell_.Execute(request);
}

void T_HLVBaseCommonAboutForm::FormShow(TComponent*) {
  // A false EnableRegSite keeps the button disabled; no address always does.
  btnJumpToUserRegSite->SetEnabled(!FRegisterURL.empty() && FEnableRegSite);

  const std::string appendix = Trim(memAppendix->Text());
  memAppendix->SetText(appendix);
  if (appendix.empty()) {
    SetClientSize(ClientWidth(), Scale(Unscale(memAppendix->Top()) - 1));
    memAppendix->SetVisible(false);
  }

  if (imgAppIcon->Picture().Empty()) {
    imgAppIcon->SetVisible(false);
    for (TLabel* label : {lblProductName, lblProductVersion, lblCompanyName, lblCopyright}) label->SetLeft(Scale(12));
  }

  btnJumpToUserRegSite->SetVisible(FRegSiteButtonVisible);
  btnContactSite->SetVisible(FContactButtonVisible);
  if (!btnJumpToUserRegSite->Visible() && btnContactSite->Visible()) btnContactSite->SetTop(btnJumpToUserRegSite->Top());

  SetClientSize(Scale(FDialogWidth), ClientHeight());
}

}  // namespace velquin

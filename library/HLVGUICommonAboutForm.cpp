#include "library/HLVGUICommonAboutForm.h"

#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

const TFormDesc kGUIAboutForm{"_HLVGUICommonAboutForm", "ProgramName のバージョン情報", 500, 220,
                              TBorderStyle::Dialog, TPosition::ScreenCenter, HLVCommonAboutControls()};

constexpr char kCaptionSuffix[] = " のバージョン情報";
constexpr int kCompanyNameKey = 1, kLegalCopyrightKey = 5, kProductNameKey = 9;

}  // namespace

T_HLVGUICommonAboutForm::T_HLVGUICommonAboutForm(TComponent* owner, Shell& shell)
    : T_HLVBaseCommonAboutForm(owner, kGUIAboutForm, shell) {}

void T_HLVGUICommonAboutForm::Loaded() {
  T_HLVBaseCommonAboutForm::Loaded();
  OnShow = [this](TComponent* s) { FormShow(s); };
}

std::string T_HLVGUICommonAboutForm::GetVersionText() const {
  return FUseVersionInfoFromFile ? BuildVersionString(VersionFormat()) : FProductVersion;
}

void T_HLVGUICommonAboutForm::FormShow(TComponent* Sender) {
  if (FUseVersionInfoFromFile) {
    SetCaption(ReadOwnVersionInfoString(kProductNameKey) + kCaptionSuffix);
    imgAppIcon->Picture().SetIcon(Application() ? Application()->Icon() : nullptr);
    imgAppIcon->PictureChanged();
    lblProductName->SetCaption(ReadOwnVersionInfoString(kProductNameKey));
    lblCompanyName->SetCaption(ReadOwnVersionInfoString(kCompanyNameKey));
    lblCopyright->SetCaption(ReadOwnVersionInfoString(kLegalCopyrightKey));
  } else {
    SetCaption(FProductName + kCaptionSuffix);
    lblProductName->SetCaption(FProductName);
    lblCompanyName->SetCaption(FCompanyName);
    lblCopyright->SetCaption(FCopyright);
  }
  lblProductVersion->SetCaption(GetVersionText());
  T_HLVBaseCommonAboutForm::FormShow(Sender);
}

}  // namespace velquin

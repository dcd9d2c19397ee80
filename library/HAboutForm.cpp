#include "library/HAboutForm.h"

#include "library/HLVGUICommonAboutForm.h"
#include "platform/Win32Shell.h"

namespace velquin {
namespace {

Shell& WindowsShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace

std::string DefaultInquiryURL() { return std::string(kMakerSite) + "/inquiry/index.html"; }
std::string DefaultRegisterURL() { return std::string(kMakerSite) + "/service/register/index.cgi"; }

THAboutForm::THAboutForm(TComponent* AOwner, std::string name)
    : TComponent(AOwner, std::move(name)),
      FRegisterURL(DefaultRegisterURL()),
      FInquiryURL(DefaultInquiryURL()),
      FAppendix(std::make_unique<TStringList>()),
      FPicture(std::make_unique<TPicture>()),
      FVersionFormat(kDefaultVersionFormat),
      shell_(&WindowsShell()) {
  SetWidth(500);
}

THAboutForm::~THAboutForm() {
  FAppendix.reset();
  FPicture.reset();
}

void THAboutForm::SetPicture(const TPicture& value) { FPicture->Assign(value); }

void THAboutForm::SetAppendix(const TStringList& value) {
  if (&value != FAppendix.get()) *FAppendix = value;
}

void THAboutForm::SetVersionFormat(TVersionFormat value) {
  FVersionFormat = NormaliseVersionFormat(FVersionFormat, value);
}

void THAboutForm::Execute() {
  auto* dialog = CreateForm<T_HLVGUICommonAboutForm>(Application(), *shell_);
  TReleaseOnExit release(dialog);
  dialog->SetUseVersionInfoFromFile(FUseVersionInfoFromFile);
  dialog->SetInquiryURL(FInquiryURL);
  dialog->SetRegisterURL(FRegisterURL);
  dialog->imgAppIcon->Picture().Assign(*FPicture);
  dialog->imgAppIcon->PictureChanged();
  dialog->SetEnableRegSite(FEnableRegSite);  // after RegisterURL, which it consults
  dialog->SetAppendix(FAppendix->Text());
  dialog->SetRegSiteButtonVisible(FRegSiteButtonVisible);
  dialog->SetContactButtonVisible(FContactButtonVisible);
  dialog->SetDialogWidth(FWidth);
  dialog->SetVersionFormat(FVersionFormat);
  if (!FUseVersionInfoFromFile) {
    dialog->SetProductName(FProductName);
    dialog->SetProductVersion(FProductVersion);
    dialog->SetCompanyName(FCompanyName);
    dialog->SetCopyright(FCopyright);
  }
  dialog->ShowModal();
}

}  // namespace velquin

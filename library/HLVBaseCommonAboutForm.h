#pragma once
// The about dialog's base layer: the layout, the appendix, the two web buttons and
// the last layout steps before the dialog shows.
#include <span>
#include <string>
#include <string_view>

#include "core/ports/Shell.h"
#include "library/HAboutForm_VersionFormat.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

namespace velquin {

// The dialog's controls as designed; both layers show this layout.
std::span<const TControlDesc> HLVCommonAboutControls();

class T_HLVBaseCommonAboutForm : public TForm {
 public:
  // The web buttons hand their addresses to `shell`.
  T_HLVBaseCommonAboutForm(TComponent* owner, Shell& shell);

  TImage* imgAppIcon = nullptr;
  TLabel* lblProductName = nullptr;
  TLabel* lblProductVersion = nullptr;
  TLabel* lblCompanyName = nullptr;
  TLabel* lblCopyright = nullptr;
  TMemo* memAppendix = nullptr;
  TButton* btnClose = nullptr;
  TButton* btnJumpToUserRegSite = nullptr;
  TButton* btnContactSite = nullptr;

  const std::string& RegisterURL() const { return FRegisterURL; }
  void SetRegisterURL(std::string value) { FRegisterURL = std::move(value); }
  const std::string& InquiryURL() const { return FInquiryURL; }
  void SetInquiryURL(std::string value) { FInquiryURL = std::move(value); }
  // Write-only. With a RegisterURL, enables or disables the registration button,
  // also at show time; without one it does nothing.
  void SetEnableRegSite(bool value);
  // Write-only. Adds the value, trimmed, as one more item of the appendix.
  void SetAppendix(std::string_view value);
  bool RegSiteButtonVisible() const { return FRegSiteButtonVisible; }
  void SetRegSiteButtonVisible(bool value) { FRegSiteButtonVisible = value; }
  bool ContactButtonVisible() const { return FContactButtonVisible; }
  void SetContactButtonVisible(bool value) { FContactButtonVisible = value; }
  int32_t DialogWidth() const { return FDialogWidth; }
  void SetDialogWidth(int32_t value) { FDialogWidth = value; }
  TVersionFormat VersionFormat() const { return FVersionFormat; }
  void SetVersionFormat(TVersionFormat value) { FVersionFormat = value; }

  void btnCloseClick(TComponent* Sender);
  void btnJumpToUserRegSiteClick(TComponent* Sender);
  void btnContactSiteClick(TComponent* Sender);
  // The last show steps: registration button state, appendix, icon, button
  // visibility and places, client width.
  void FormShow(TComponent* Sender);

 protected:
  // For the derived layer, which keeps this layout under its own form name.
  T_HLVBaseCommonAboutForm(TComponent* owner, const TFormDesc& desc, Shell& shell);
  void Loaded() override;

 private:
  void OpenURL(const std::string& URL);

  std::string FRegisterURL;
  std::string FInquiryURL;
  bool FContactButtonVisible = false;
  bool FRegSiteButtonVisible = false;
  int32_t FDialogWidth = 0;
  TVersionFormat FVersionFormat;
  // What EnableRegSite last asked for while a RegisterURL was set.
  bool FEnableRegSite = true;
  Shell& shell_;
};

}  // namespace velquin

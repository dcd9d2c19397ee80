#pragma once
// The about component: product data and the about box's appearance as published
// properties of a component that a form owns; Execute shows the about box.
#include <cstdint>
#include <memory>
#include <string>

#include "core/ports/Shell.h"
#include "library/HAboutForm_VersionFormat.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

namespace velquin {

// The maker's web site (scheme and host) and the two pages the about box opens.
inline constexpr char kMakerSite[] = "https://halvern.example";
std::string DefaultInquiryURL();
std::string DefaultRegisterURL();
// The maker's company name and notice line, as the program's version block has them.
inline constexpr char kMakerCompanyName[] = "HALVERN";
inline constexpr char kMakerCopyright[] = "Copyright (C) 2026 HALVERN";

class THAboutForm : public TComponent {
 public:
  explicit THAboutForm(TComponent* AOwner, std::string name = {});
  ~THAboutForm() override;

  const TPicture& Picture() const { return *FPicture; }
  void SetPicture(const TPicture& value);  // copies
  const std::string& ProductName() const { return FProductName; }
  void SetProductName(std::string value) { FProductName = std::move(value); }
  const std::string& ProductVersion() const { return FProductVersion; }
  void SetProductVersion(std::string value) { FProductVersion = std::move(value); }
  const std::string& CompanyName() const { return FCompanyName; }
  void SetCompanyName(std::string value) { FCompanyName = std::move(value); }
  const std::string& Copyright() const { return FCopyright; }
  void SetCopyright(std::string value) { FCopyright = std::move(value); }
  bool UseVersionInfoFromFile() const { return FUseVersionInfoFromFile; }
  void SetUseVersionInfoFromFile(bool value) { FUseVersionInfoFromFile = value; }
  const TStringList& Appendix() const { return *FAppendix; }
  void SetAppendix(const TStringList& value);  // copies
  bool EnableRegSite() const { return FEnableRegSite; }
  void SetEnableRegSite(bool value) { FEnableRegSite = value; }
  const std::string& InquiryURL() const { return FInquiryURL; }
  void SetInquiryURL(std::string value) { FInquiryURL = std::move(value); }
  const std::string& RegisterURL() const { return FRegisterURL; }
  void SetRegisterURL(std::string value) { FRegisterURL = std::move(value); }
  bool RegSiteButtonVisible() const { return FRegSiteButtonVisible; }
  void SetRegSiteButtonVisible(bool value) { FRegSiteButtonVisible = value; }
  bool ContactButtonVisible() const { return FContactButtonVisible; }
  void SetContactButtonVisible(bool value) { FContactButtonVisible = value; }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t value) { FWidth = value; }
  TVersionFormat VersionFormat() const { return FVersionFormat; }
  // Normalises: see NormaliseVersionFormat.
  void SetVersionFormat(TVersionFormat value);

  // Where the about box's web buttons send their addresses; the Windows shell
  // unless set. The shell must outlive the component.
  void SetShell(Shell& shell) { shell_ = &shell; }

  // Shows the about box modally; returns when the user has closed it. Errors
  // while it is filled or shown reach the caller after the dialog is released.
  void Execute();

 private:
  std::string FRegisterURL;
  bool FEnableRegSite = true;
  std::string FInquiryURL;
  bool FUseVersionInfoFromFile = false;
  std::unique_ptr<TStringList> FAppendix;
  std::string FCopyright;
  std::string FCompanyName;
  std::string FProductVersion;
  std::unique_ptr<TPicture> FPicture;
  std::string FProductName;
  bool FContactButtonVisible = true;
  bool FRegSiteButtonVisible = true;
  int32_t FWidth = 0;
  TVersionFormat FVersionFormat;
  Shell* shell_;
};

}  // namespace velquin

#pragma once
// The about dialog as the about component creates it: the product texts, taken
// either from the component or from the running program's version block.
#include <string>

#include "library/HLVBaseCommonAboutForm.h"

namespace velquin {

class T_HLVGUICommonAboutForm : public T_HLVBaseCommonAboutForm {
 public:
  T_HLVGUICommonAboutForm(TComponent* owner, Shell& shell);

  bool UseVersionInfoFromFile() const { return FUseVersionInfoFromFile; }
  void SetUseVersionInfoFromFile(bool value) { FUseVersionInfoFromFile = value; }
  const std::string& CompanyName() const { return FCompanyName; }
  void SetCompanyName(std::string value) { FCompanyName = std::move(value); }
  const std::string& ProductName() const { return FProductName; }
  void SetProductName(std::string value) { FProductName = std::move(value); }
  const std::string& ProductVersion() const { return FProductVersion; }
  void SetProductVersion(std::string value) { FProductVersion = std::move(value); }
  const std::string& Copyright() const { return FCopyright; }
  void SetCopyright(std::string value) { FCopyright = std::move(value); }

  // Caption, icon and the four lines, then the base layer's show steps.
  void FormShow(TComponent* Sender);

 protected:
  void Loaded() override;

 private:
  std::string GetVersionText() const;

  bool FUseVersionInfoFromFile = false;
  std::string FCompanyName;
  std::string FProductName;
  std::string FProductVersion;
  std::string FCopyright;
};

}  // namespace velquin

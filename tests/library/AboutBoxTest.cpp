// The about component and its dialog under Wine: defaults and copies, what each
// property does to the dialog, the web buttons, the data from the program's own
// version block, and the release of the dialog on every way out of Execute.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include <gmock/gmock.h>

#include "core/Exception.h"
#include "core/fakes/RecordingShell.h"
#include "tests/library/AboutBoxSupport.h"

namespace velquin::test {
namespace {

using ::testing::AllOf;
using ::testing::Each;
using ::testing::IsEmpty;
using ::testing::Property;

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    app_->SetTitle("テスト");
    app_->OnException = [this](const std::string& m) { reports_.push_back(m); };
    about_ = new THAboutForm(app_.get(), "cmpAbout");
    about_->SetShell(shell_);
    about_->SetProductName("製品");
    about_->SetProductVersion("1.1");
    about_->SetCompanyName("会社");
    about_->SetCopyright("著作権");
  }
  void TearDown() override { app_.reset(); }

  bool Show(const std::function<void(T_HLVGUICommonAboutForm&)>& inspect) {
    return ShowAbout(*about_, "製品 のバージョン情報", inspect);
  }
  int AboutDialogs() const {
    const auto& forms = app_->Forms();
    return static_cast<int>(std::count_if(forms.begin(), forms.end(), [](TForm* f) {
      return dynamic_cast<T_HLVGUICommonAboutForm*>(f) != nullptr;
    }));
  }

  std::unique_ptr<TApplication> app_;
  THAboutForm* about_ = nullptr;
  RecordingShell shell_;
  std::vector<std::string> reports_;
};

// What a component nobody set up shows: no picture, its own empty texts (not the
// file's), no appendix, both web buttons, which open the maker's addresses.
TEST_F(AboutBoxTest, AFreshComponentShowsAnEmptyBoxWhoseWebButtonsOpenTheMakersPages) {
  EXPECT_EQ(about_->Owner(), app_.get());
  EXPECT_EQ(FindOwned<THAboutForm>(*app_, "cmpAbout"), about_);
  THAboutForm fresh(nullptr);
  fresh.SetShell(shell_);
  ASSERT_TRUE(ShowAbout(fresh, " のバージョン情報", [](T_HLVGUICommonAboutForm& d) {
    EXPECT_FALSE(d.imgAppIcon->Visible());
    EXPECT_EQ(PlaceOf(d.lblProductName).left, 12);
    EXPECT_THAT((std::vector<TLabel*>{d.lblProductName, d.lblProductVersion, d.lblCompanyName, d.lblCopyright}),
                Each(Property(&TLabel::Caption, IsEmpty())));
    EXPECT_FALSE(d.memAppendix->Visible());
    EXPECT_EQ(ClientSizeOf(d.Handle()).cx, 500);
    EXPECT_EQ(ClientSizeOf(d.Handle()).cy, 107);
    EXPECT_THAT((std::vector<TButton*>{d.btnJumpToUserRegSite, d.btnContactSite}),
                Each(AllOf(Property(&TButton::Visible, true), Property(&TButton::Enabled, true))));
    d.btnJumpToUserRegSite->Click();
    d.btnContactSite->Click();
  }));
  ASSERT_EQ(shell_.Requests().size(), 2u);
  EXPECT_EQ(shell_.Requests()[0].file, "https://halvern.example/service/register/index.cgi");
  EXPECT_EQ(shell_.Requests()[1].file, "https://halvern.example/inquiry/index.html");

  // Taking its data from the file, it shows the four parts of the version.
  fresh.SetUseVersionInfoFromFile(true);
  ASSERT_TRUE(ShowAbout(fresh, "File Product のバージョン情報", [](T_HLVGUICommonAboutForm& d) {
    EXPECT_EQ(d.lblProductVersion->Caption(), "2.5.7.11");
  }));
}

TEST_F(AboutBoxTest, PictureAndAppendixAreCopies) {
  TPicture picture;
  picture.SetIcon(LoadIconA(nullptr, IDI_APPLICATION));
  TStringList lines;
  lines.Add("a");
  about_->SetPicture(picture);
  about_->SetAppendix(lines);
  picture.SetIcon(nullptr);
  lines.Add("b");
  EXPECT_FALSE(about_->Picture().Empty());
  ASSERT_EQ(about_->Appendix().Count(), 1);
  EXPECT_EQ(about_->Appendix()[0], "a");
  about_->SetAppendix(about_->Appendix());  // itself: unchanged
  EXPECT_EQ(about_->Appendix().Count(), 1);
}

TEST_F(AboutBoxTest, AppendixShowsBelowTheTextsAndFollowsTheWidth) {
  TStringList lines;
  lines.Add("  a");
  lines.Add("b ");
  lines.Add("");
  about_->SetAppendix(lines);
  TPicture picture;
  picture.SetIcon(LoadIconA(nullptr, IDI_APPLICATION));
  about_->SetPicture(picture);
  ASSERT_TRUE(Show([](T_HLVGUICommonAboutForm& d) {
    EXPECT_EQ(d.memAppendix->Text(), "a\r\nb");
    EXPECT_TRUE(d.memAppendix->Visible());
    const SIZE client = ClientSizeOf(d.Handle());
    EXPECT_EQ(client.cx, 500);
    EXPECT_EQ(client.cy, 220);
    const RECT memo = PlaceOf(d.memAppendix);
    EXPECT_EQ(memo.left, 12);
    EXPECT_EQ(memo.top, 108);
    EXPECT_EQ(memo.right - memo.left, 475);
    EXPECT_EQ(memo.bottom - memo.top, 99);
    // With an icon the texts keep their place beside it.
    EXPECT_TRUE(d.imgAppIcon->Visible());
    EXPECT_EQ(PlaceOf(d.lblProductName).left, 72);
    EXPECT_EQ(PlaceOf(d.lblCopyright).left, 72);
  }));

  about_->SetWidth(600);
  ASSERT_TRUE(Show([](T_HLVGUICommonAboutForm& d) {
    EXPECT_EQ(ClientSizeOf(d.Handle()).cx, 600);
    EXPECT_EQ(PlaceOf(d.memAppendix).right - PlaceOf(d.memAppendix).left, 575);
    for (TButton* b : {d.btnClose, d.btnJumpToUserRegSite, d.btnContactSite}) {
      EXPECT_EQ(PlaceOf(b).left, 440);
      EXPECT_EQ(PlaceOf(b).right - PlaceOf(b).left, 147);
    }
  }));
}

TEST_F(AboutBoxTest, BlankAppendixHidesTheMemo) {
  TStringList lines;
  lines.Add(" ");
  lines.Add("\t");
  about_->SetAppendix(lines);
  ASSERT_TRUE(Show([](T_HLVGUICommonAboutForm& d) {
    EXPECT_FALSE(d.memAppendix->Visible());
    EXPECT_EQ(ClientSizeOf(d.Handle()).cy, 107);
  }));
}

TEST_F(AboutBoxTest, ButtonVisibilityAndPlaces) {
  const struct {
    bool regSite, contact;
    bool regSiteShown, contactShown;
    int contactTop;
  } rows[] = {
      {true, true, true, true, 72},
      {false, true, false, true, 40},
      {true, false, true, false, 72},
      {false, false, false, false, 72},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.regSite << row.contact);
    about_->SetRegSiteButtonVisible(row.regSite);
    about_->SetContactButtonVisible(row.contact);
    ASSERT_TRUE(Show([&](T_HLVGUICommonAboutForm& d) {
      EXPECT_TRUE(d.btnClose->Visible());
      EXPECT_EQ(PlaceOf(d.btnClose).top, 8);
      EXPECT_EQ(d.btnJumpToUserRegSite->Visible(), row.regSiteShown);
      EXPECT_EQ(d.btnContactSite->Visible(), row.contactShown);
      EXPECT_EQ(PlaceOf(d.btnContactSite).top, row.contactTop);
    }));
  }
}

TEST_F(AboutBoxTest, RegistrationButtonState) {
  const struct {
    const char* url;
    bool enable;
    bool enabled;
  } rows[] = {
      {"https://halvern.example/r", true, true},
      {"", true, false},
      {"https://halvern.example/r", false, false},  // kept disabled at show time
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "'" << row.url << "' " << row.enable);
    about_->SetRegisterURL(row.url);
    about_->SetEnableRegSite(row.enable);
    ASSERT_TRUE(Show([&](T_HLVGUICommonAboutForm& d) {
      EXPECT_TRUE(d.btnJumpToUserRegSite->Visible());
      EXPECT_EQ(d.btnJumpToUserRegSite->Enabled(), row.enabled);
    }));
  }
}

TEST_F(AboutBoxTest, WebButtonsOpenTheirAddressesThroughTheShell) {
  about_->SetInquiryURL("");
  uintptr_t window = 0;
  ASSERT_TRUE(Show([&](T_HLVGUICommonAboutForm& d) {
    window = reinterpret_cast<uintptr_t>(d.Handle());
    d.btnJumpToUserRegSite->Click();
    d.btnContactSite->Click();
  }));
  ASSERT_EQ(shell_.Requests().size(), 2u);
  const char* files[] = {"https://halvern.example/service/register/index.cgi", ""};
  for (int i = 0; i < 2; ++i) {
    const ShellExecuteRequest& r = shell_.Requests()[i];
    EXPECT_EQ(r.ownerWindow, window);
    EXPECT_FALSE(r.verb.has_value());
    EXPECT_EQ(r.file, files[i]);
    EXPECT_FALSE(r.parameters.has_value());
    EXPECT_FALSE(r.directory.has_value());
    EXPECT_EQ(r.showCommand, 5);
  }
}

TEST_F(AboutBoxTest, DataFromTheProgramsOwnVersionBlock) {
  about_->SetUseVersionInfoFromFile(true);
  about_->SetVersionFormat(kAllVersionFormat);
  ASSERT_TRUE(ShowAbout(*about_, "File Product のバージョン情報", [](T_HLVGUICommonAboutForm& d) {
    EXPECT_EQ(d.lblProductName->Caption(), "File Product");
    EXPECT_EQ(d.lblProductVersion->Caption(), "2.5.7 Build 11");
    EXPECT_EQ(d.lblCompanyName->Caption(), "File Company");
    EXPECT_EQ(d.lblCopyright->Caption(), "(C) 2026 File");
    // The application's icon fills the image even without a Picture.
    EXPECT_TRUE(d.imgAppIcon->Visible());
    EXPECT_FALSE(d.imgAppIcon->Picture().Empty());
    EXPECT_EQ(PlaceOf(d.lblProductName).left, 72);
  }));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(AboutBoxTest, DialogIsReleasedAfterClosing) {
  ASSERT_TRUE(Show([&](T_HLVGUICommonAboutForm&) { EXPECT_EQ(AboutDialogs(), 1); }));
  EXPECT_TRUE(PumpUntil([&] { return AboutDialogs() == 0; }, 2000));
}

// Makes the dialog visible before Execute shows it, from inside the filling: the
// modal show then fails.
HHOOK gHook = nullptr;
LRESULT CALLBACK ShowAboutEarly(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_SETTEXT) {
    HWND parent = GetParent(call->hwnd);
    char name[64] = {};
    if (parent && GetClassNameA(parent, name, sizeof name) && std::string(name) == "T_HLVGUICommonAboutForm")
      ShowWindow(parent, SW_SHOWNA);
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}

TEST_F(AboutBoxTest, DialogIsReleasedWhenShowingFails) {
  TStringList lines;
  lines.Add("a");
  about_->SetAppendix(lines);
  gHook = SetWindowsHookExA(WH_CALLWNDPROC, ShowAboutEarly, nullptr, GetCurrentThreadId());
  ASSERT_NE(gHook, nullptr);
  bool thrown = false;
  try {
    about_->Execute();
  } catch (const velquin::Exception&) {
    thrown = true;
  }
  UnhookWindowsHookEx(gHook);
  EXPECT_TRUE(thrown);
  EXPECT_TRUE(PumpUntil([&] { return AboutDialogs() == 0; }, 2000));
}

}  // namespace
}  // namespace velquin::test

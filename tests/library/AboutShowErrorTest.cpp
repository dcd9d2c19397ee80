// An about box that takes its data from a version block without a translation
// table: the first show step fails, the error is reported, and the dialog opens
// as designed.
#include <memory>

#include "core/fakes/RecordingShell.h"
#include "tests/library/AboutBoxSupport.h"

namespace velquin::test {
namespace {

TEST(AboutShowError, ReportsAndOpensAsDesigned) {
  TApplication app;
  std::vector<std::string> reports;
  app.OnException = [&](const std::string& m) { reports.push_back(m); };
  RecordingShell shell;
  auto* about = new THAboutForm(&app, "cmpAbout");
  about->SetShell(shell);
  about->SetUseVersionInfoFromFile(true);
  const bool seen = ShowAbout(*about, "ProgramName のバージョン情報", [&](T_HLVGUICommonAboutForm& d) {
    EXPECT_EQ(d.lblProductName->Caption(), "lblProductName");
    EXPECT_EQ(d.lblProductVersion->Caption(), "lblProductVersion");
    for (TLabel* label : {d.lblProductName, d.lblProductVersion, d.lblCompanyName, d.lblCopyright})
      EXPECT_EQ(PlaceOf(label).left, 72);
    EXPECT_TRUE(d.imgAppIcon->Visible());
    EXPECT_TRUE(d.memAppendix->Visible());
    EXPECT_TRUE(d.btnJumpToUserRegSite->Visible());
    EXPECT_TRUE(d.btnContactSite->Visible());
    const SIZE client = ClientSizeOf(d.Handle());
    EXPECT_EQ(client.cx, 500);
    EXPECT_EQ(client.cy, 220);
  });
  EXPECT_TRUE(seen);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "情報の取得に失敗しました.");  // the report adds the stop
}

}  // namespace
}  // namespace velquin::test

// Residency in the notification area: the icon record, the ways in and out, the
// mouse messages, the start-up timer, and a shell that is busy, not there yet or
// restarted (the icon is counted exactly while the shell has it, the taskbar
// button stays exactly while it has none, and the icon goes at exit).
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

#include "tests/program/ProgramFixture.h"
#include "toolkit/Dpi.h"

namespace velquin::test {
namespace {

class TrayTest : public ProgramTest {
 protected:
  bool InTray() const {
    return app_->Minimized() && !AppWindowVisible() && !form_->Visible() && form_->TrayIconShown();
  }
  bool Shown() const { return !app_->Minimized() && AppWindowVisible() && form_->Visible(); }
  bool AreaHasIcon() const { return notifyIcon_.Has(form_->Handle(), 1); }
  void TaskbarCreated() { SendMessageA(form_->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0); }
  void ClickIcon(LPARAM mouse) {
    SendMessageA(form_->Handle(), WM_TRAYICON, 1, mouse);
    Pump(30);
  }
};

TEST_F(TrayTest, TheCommandAndTheMinimiseBoxBothMoveIntoTheTray) {
  Start();
  const struct {
    const char* name;
    std::function<void(T_MainForm*)> minimise;
  } ways[] = {
      {"button", [](T_MainForm* f) { SendMessageA(f->btnToTaskTray->Handle(), BM_CLICK, 0, 0); }},
      {"Alt+T", [](T_MainForm* f) { PostMessageA(f->lbxTaskList->Handle(), WM_SYSCHAR, 't', 0); }},
      {"minimise box", [](T_MainForm* f) { PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
      {"taskbar button", [](T_MainForm*) { PostMessageA(Application()->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    notifyIcon_.calls.clear();
    way.minimise(form_);
    Pump(50);
    EXPECT_TRUE(InTray());
    ASSERT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD}));
    EXPECT_TRUE(AreaHasIcon());  // the shell took the record
    const NotifyIconDataV1& d = notifyIcon_.calls[0].data;
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 1124u);
    EXPECT_EQ(IconSide(d.hIcon), IconSizeForDpi(SM_CXSMICON, form_->Dpi()));
    EXPECT_EQ(std::wstring(d.szTip), L"ヴェルキン Ver, 1,1");

    ClickIcon(WM_LBUTTONDOWN);
    EXPECT_TRUE(Shown());
    EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_FALSE(form_->TrayIconShown());
  }
}

// The tip as the shell receives it: the caption, cut to 63 UTF-16 units without
// splitting a surrogate pair.
TEST_F(TrayTest, TheTipIsTheCaptionCutToFit) {
  Start();
  const std::wstring pair = L"\U00020BB7";  // outside the basic plane
  const struct {
    std::wstring caption, tip;
  } rows[] = {
      {std::wstring(63, L'a'), std::wstring(63, L'a')},
      {std::wstring(70, L'ヴ'), std::wstring(63, L'ヴ')},
      {std::wstring(62, L'a') + pair + L"b", std::wstring(62, L'a')},
      {std::wstring(61, L'a') + pair + L"b", std::wstring(61, L'a') + pair},
      {pair + L"x", pair + L"x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.caption.size()));
    SetWindowTextW(form_->Handle(), row.caption.c_str());
    notifyIcon_.calls.clear();
    form_->acnToTaskTray->Execute();
    Pump(30);
    ASSERT_TRUE(InTray());
    ASSERT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD}));
    EXPECT_EQ(std::wstring(notifyIcon_.calls[0].data.szTip), row.tip);
    ClickIcon(WM_LBUTTONDOWN);
  }
}

// A new display scale while in the tray, or a new taskbar: the icon the shell has
// is the small one at the window's scale.
TEST_F(TrayTest, TheIconFollowsTheDisplayScale) {
  Start();
  form_->acnToTaskTray->Execute();
  Pump(30);
  ASSERT_TRUE(InTray());
  for (const int dpi : {192, 120, 96}) {
    SCOPED_TRACE(dpi);
    notifyIcon_.calls.clear();
    RECT r{};
    GetWindowRect(form_->Handle(), &r);
    SendMessageA(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    ASSERT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_MODIFY}));
    EXPECT_EQ(IconSide(notifyIcon_.icons.at(0).hIcon), IconSizeForDpi(SM_CXSMICON, dpi));
    TaskbarCreated();
    EXPECT_EQ(IconSide(notifyIcon_.icons.at(0).hIcon), IconSizeForDpi(SM_CXSMICON, dpi));
  }
  EXPECT_TRUE(InTray());
}

TEST_F(TrayTest, OnlyALeftButtonPressRestoresAndTheWindowThenStaysOnTop) {
  Start();
  EXPECT_FALSE(Topmost());
  form_->acnToTaskTray->Execute();
  Pump(30);
  ASSERT_TRUE(InTray());
  for (LPARAM other : {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MBUTTONDOWN,
                       WM_RBUTTONDBLCLK}) {
    ClickIcon(other);
    EXPECT_TRUE(InTray()) << other;
  }
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD}));

  // A double click: restored on its first press, the rest does nothing.
  for (LPARAM part : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) ClickIcon(part);
  EXPECT_TRUE(Shown());
  EXPECT_TRUE(Topmost());
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
  const NotifyIconDataV1& removed = notifyIcon_.calls[1].data;
  EXPECT_EQ(removed.hWnd, form_->Handle());
  EXPECT_EQ(removed.uID, 1u);

  // Still on top after the next trip into the tray and back.
  form_->acnToTaskTray->Execute();
  Pump(30);
  ClickIcon(WM_LBUTTONDOWN);
  EXPECT_TRUE(Topmost());
  // A stray icon message while shown adds no icon.
  ClickIcon(WM_LBUTTONDOWN);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(notifyIcon_.calls.size(), 4u);
}

TEST_F(TrayTest, RestoreGivesTheFocusBack) {
  SetLines({"\"" + MakeFile("a.exe") + "\""});
  Start();
  form_->ckbMinimizeWhenStart->SetFocus();
  Pump(20);
  SendMessageA(form_->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump(30);
  ClickIcon(WM_LBUTTONDOWN);
  EXPECT_TRUE(form_->ckbMinimizeWhenStart->Focused());
}

TEST_F(TrayTest, ARefusedIconKeepsTheTaskbarButton) {
  Start();
  notifyIcon_.shell = RecordingNotifyIcon::Shell::Absent;
  form_->acnToTaskTray->Execute();
  Pump(30);
  EXPECT_FALSE(form_->TrayIconShown());
  EXPECT_TRUE(app_->Minimized());
  EXPECT_TRUE(AppWindowVisible());  // minimised on the taskbar, a way back
  EXPECT_FALSE(form_->Visible());

  PostMessageA(app_->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(50);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));

  notifyIcon_.shell = RecordingNotifyIcon::Shell::Ready;  // the next minimise uses the tray
  form_->acnToTaskTray->Execute();
  Pump(30);
  EXPECT_TRUE(InTray());
}

TEST_F(TrayTest, TheIconComesBackWhenTheShellRestartsAndGoesAtExit) {
  Start();
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  SendMessageA(form_->Handle(), taskbarCreated, 0, 0);  // shown: nothing to add
  EXPECT_TRUE(notifyIcon_.calls.empty());

  form_->acnToTaskTray->Execute();
  Pump(30);
  notifyIcon_.Restart();  // the shell lost it
  SendMessageA(form_->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_ADD}));
  EXPECT_TRUE(InTray());

  // Told while the shell still has it: the icon is updated, not lost.
  notifyIcon_.calls.clear();
  SendMessageA(form_->Handle(), taskbarCreated, 0, 0);
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
  EXPECT_TRUE(InTray());
  EXPECT_TRUE(AreaHasIcon());

  notifyIcon_.calls.clear();
  Finish();  // the program ends while in the tray
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_DELETE}));
}

// Log-on or a restart of the shell: the shell times out on the add although it
// took the icon, is not there until it announces itself, or loses the icon.
struct ShellCase {
  const char* name;
  RecordingNotifyIcon::Shell atMinimise;
  bool countedAtMinimise;
  bool restart;  // the shell loses every icon before it announces itself
  std::optional<RecordingNotifyIcon::Shell> atTaskbarCreated;
};
void PrintTo(const ShellCase& c, std::ostream* out) { *out << c.name; }

using Shell = RecordingNotifyIcon::Shell;
const ShellCase kShellCases[] = {
    {"add_times_out_the_icon_is_there", Shell::Busy, true, false, std::nullopt},
    {"no_notification_area_until_it_is_created", Shell::Absent, false, false, Shell::Ready},
    {"shell_restarted_while_in_the_tray", Shell::Ready, true, true, Shell::Ready},
    {"shell_restarted_and_busy", Shell::Ready, true, true, Shell::Busy},
    {"not_there_at_first_then_busy", Shell::Absent, false, false, Shell::Busy},
};

// Each case ends once with a left click on the icon and once with the exit.
class TrayIconWithTheShell : public TrayTest, public ::testing::WithParamInterface<std::tuple<ShellCase, bool>> {};

TEST_P(TrayIconWithTheShell, IsCountedExactlyWhileTheShellHasIt) {
  using enum RecordingNotifyIcon::Shell;
  const auto& [c, endWithClick] = GetParam();
  Start();
  notifyIcon_.shell = c.atMinimise;
  form_->acnToTaskTray->Execute();
  Pump(30);
  EXPECT_EQ(form_->TrayIconShown(), c.countedAtMinimise);
  EXPECT_EQ(AreaHasIcon(), c.countedAtMinimise || c.atMinimise == Busy);
  EXPECT_TRUE(app_->Minimized());
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(AppWindowVisible(), !c.countedAtMinimise);  // a taskbar button exactly without an icon

  if (c.atTaskbarCreated) {
    if (c.restart) notifyIcon_.Restart();
    notifyIcon_.shell = *c.atTaskbarCreated;
    TaskbarCreated();
    Pump(30);
    EXPECT_TRUE(InTray());
    EXPECT_TRUE(AreaHasIcon());
    EXPECT_EQ(notifyIcon_.icons.size(), 1u);
  }
  notifyIcon_.shell = Ready;
  if (endWithClick) {
    ClickIcon(WM_LBUTTONDOWN);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(form_->TrayIconShown());
    EXPECT_FALSE(AreaHasIcon());
  } else {
    const HWND window = form_->Handle();
    Finish();
    EXPECT_FALSE(notifyIcon_.Has(window, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(, TrayIconWithTheShell, ::testing::Combine(::testing::ValuesIn(kShellCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<ShellCase, bool>>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_click" : "_exit");
                         });

TEST_F(TrayTest, NoIconIsRemovedAtExitWhenNoneIsShown) {
  Start();
  Finish();
  EXPECT_TRUE(notifyIcon_.calls.empty());
}

TEST_F(TrayTest, TheStartupTimerActsOnceAfterOneSecond) {
  PutDword("Count", 0);
  PutDword("MinimizeWhenStart", 1);
  Start();
  EXPECT_TRUE(form_->ckbMinimizeWhenStart->Checked());
  EXPECT_TRUE(form_->timVelquin->Enabled());
  Pump(600);
  EXPECT_TRUE(Shown());  // shown first
  EXPECT_TRUE(PumpUntil([&] { return InTray(); }, 2000));
  EXPECT_FALSE(form_->timVelquin->Enabled());
  ClickIcon(WM_LBUTTONDOWN);
  Pump(1500);
  EXPECT_TRUE(Shown());  // it acted only once
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
}

TEST_F(TrayTest, ATickWhileMinimisedAlreadyOnlyStopsTheTimer) {
  PutDword("Count", 0);
  PutDword("MinimizeWhenStart", 1);
  Start(SW_SHOWMINNOACTIVE);
  EXPECT_TRUE(InTray());
  EXPECT_TRUE(PumpUntil([&] { return !form_->timVelquin->Enabled(); }, 2500));
  EXPECT_TRUE(InTray());
  EXPECT_EQ(notifyIcon_.Messages(), (std::vector<DWORD>{NIM_ADD}));
}

TEST_F(TrayTest, TickingTheOptionDuringARunChangesNothingInThatRun) {
  PutDword("Count", 0);
  Start();
  EXPECT_FALSE(form_->timVelquin->Enabled());
  SendMessageA(form_->ckbMinimizeWhenStart->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form_->ckbMinimizeWhenStart->Checked());
  EXPECT_EQ(GetDword("MinimizeWhenStart"), 1u);  // stored at once, acted on at the next start
  Pump(1300);
  EXPECT_TRUE(Shown());
  Finish();
  EXPECT_EQ(GetDword("MinimizeWhenStart"), 1u);
}

// A second start asks the running copy to show itself: out of the tray as a click
// on the icon does, off the taskbar button, or to the front.
TEST_F(TrayTest, ASecondStartBringsTheRunningCopyBack) {
  Start();
  const UINT show = RegisterWindowMessageW(kShowRunningCopyMessage);
  ASSERT_NE(show, 0u);
  const HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  const struct {
    const char* where;
    bool refuseIcon;
    std::function<void()> put;
    std::vector<DWORD> icon;
  } cases[] = {
      {"in the tray", false, [&] { form_->acnToTaskTray->Execute(); }, {NIM_ADD, NIM_DELETE}},
      {"minimised without an icon", true, [&] { form_->acnToTaskTray->Execute(); }, {NIM_ADD, NIM_MODIFY}},
      {"behind another window", false, [&] { SetForegroundWindow(other); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    notifyIcon_.calls.clear();
    notifyIcon_.shell = c.refuseIcon ? RecordingNotifyIcon::Shell::Absent : RecordingNotifyIcon::Shell::Ready;
    c.put();
    Pump(50);
    // Found by its class and caption as a second start finds it, in any code page.
    EXPECT_TRUE(Win32RunningCopy("T_MainForm", kMainFormCaption, show).AskToShow());
    Pump(50);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(form_->TrayIconShown());
    EXPECT_EQ(notifyIcon_.Messages(), c.icon);
    EXPECT_EQ(GetForegroundWindow(), form_->Handle());
  }
  EXPECT_TRUE(Topmost());  // as after a click on the icon

  // A copy that is ending says no: the start waits for it to end and runs itself.
  form_->acnToTaskTray->Execute();
  Pump(50);
  app_->Terminate();
  EXPECT_EQ(SendMessageA(form_->Handle(), show, 0, 0), 0);
  EXPECT_TRUE(InTray());
  DestroyWindow(other);
}

}  // namespace
}  // namespace velquin::test

// The main window: the close path in every way, the action enabling rule, the power notification (also behind a modal dialog, and on every
// kind of machine), the start-up show states.
#include <functional>

#include "platform/Win32PowerPlatform.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/StoreMessages.h"
#include "toolkit/WideText.h"

namespace velquin::test {
namespace {

const char kExitQuestion[] =
    "終了すると、スタンバイおよび休止状態から復帰したときに\r\n"
    "タスクが実行されません。\r\n"
    "実行されるようにするには、終了せずに最小化してください。\r\n"
    "\r\n"
    "終了しますか？";

class MainFormTest : public ProgramTest {
 protected:
  void StartWithTwoTasks() {
    a_ = MakeFile("a.exe");
    b_ = MakeFile("b.exe");
    SetLines({a_ + " -x", "\"" + b_ + "\""});
    PutDword("MinimizeWhenStart", 0);
    Start();
    ASSERT_EQ(Lines(), (std::vector<std::string>{"\"" + a_ + "\" -x", "\"" + b_ + "\""}));
  }
  std::string a_, b_;
};

struct CloseWay {
  const char* name;
  std::function<void(MainFormTest&, T_MainForm*)> close;
};

const CloseWay kCloseWays[] = {
    {"exit button", [](MainFormTest&, T_MainForm* f) { SendMessageA(f->btnExit->Handle(), BM_CLICK, 0, 0); }},
    {"Alt+X", [](MainFormTest&, T_MainForm* f) { PostMessageA(f->lbxTaskList->Handle(), WM_SYSCHAR, 'x', 0); }},
    {"close box", [](MainFormTest&, T_MainForm* f) { PostMessageA(f->Handle(), WM_CLOSE, 0, 0); }},
    {"system menu Close",
     [](MainFormTest&, T_MainForm* f) { PostMessageA(f->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"Alt+F4",
     [](MainFormTest&, T_MainForm* f) {
       PostMessageA(f->lbxTaskList->Handle(), WM_SYSKEYDOWN, VK_F4, 0x20000000);
     }},
    {"taskbar button Close",
     [](MainFormTest&, T_MainForm*) { PostMessageA(Application()->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
};

TEST_F(MainFormTest, EveryWayOfClosingAsksAndNoKeepsRunningUnsaved) {
  StartWithTwoTasks();
  form_->lbxTaskList->Append("\"" + a_ + "\" added");
  for (const CloseWay& way : kCloseWays) {
    SCOPED_TRACE(way.name);
    DialogAnswerer answers;
    answers.Answer("確認", "いいえ(&N)");
    way.close(*this, form_);
    PumpUntil([&] { return answers.Pending() == 0; }, 3000);
    Pump(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, kExitQuestion);
    EXPECT_FALSE(app_->Terminated());
    EXPECT_TRUE(form_->Visible());
  }
  // Esc and the question's own close box count as no as well.
  for (int i = 0; i < 2; ++i) {
    DialogAnswerer answers;
    if (i == 0)
      answers.AnswerWithKey("確認", VK_ESCAPE);
    else
      answers.Expect("TMessageForm", "確認", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
    PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return answers.Pending() == 0; }, 3000);
    Pump(30);
    EXPECT_FALSE(app_->Terminated());
  }
  EXPECT_EQ(Lines().size(), 3u);
  EXPECT_EQ(GetDword("Count"), 2u);  // nothing saved
  EXPECT_TRUE(reports_.empty());
}

TEST_F(MainFormTest, YesEndsTheProgramAndSavesAtExit) {
  StartWithTwoTasks();
  form_->lbxTaskList->Append("\"" + a_ + "\" added");
  form_->ckbMinimizeWhenStart->SetChecked(true);
  DialogAnswerer answers;
  answers.Answer("確認", "はい(&Y)");
  SendMessageA(form_->btnExit->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(app_->Terminated());
  EXPECT_EQ(GetDword("Count"), 2u);  // the list is written at exit, not before
  Finish();
  EXPECT_EQ(GetDword("Count"), 3u);
  EXPECT_EQ(GetString("APP0"), "\"" + a_ + "\" -x");
  EXPECT_EQ(GetString("APP2"), "\"" + a_ + "\" added");
  EXPECT_EQ(GetDword("MinimizeWhenStart"), 1u);
}

TEST_F(MainFormTest, EditAndDeleteAreEnabledExactlyWhileALineIsSelected) {
  UINT menuStates[3] = {};
  std::string menuCaptions;
  auto track = TPopupMenu::Track;
  TPopupMenu::Track = [&](HMENU menu, int, int, HWND) -> UINT {
    menuCaptions.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t caption[64] = {};
      GetMenuStringW(menu, i, caption, 64, MF_BYPOSITION);
      menuCaptions += std::string(i ? "|" : "") + Cp932FromWideLossy(caption);
      menuStates[i] = GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED;
    }
    return 0;
  };
  struct RestoreTrack {
    std::function<UINT(HMENU, int, int, HWND)> saved;
    ~RestoreTrack() { TPopupMenu::Track = saved; }
  } restore{track};

  Start();  // empty list
  auto rightClick = [&] {
    POINT pt{20, 20};
    ClientToScreen(form_->lbxTaskList->Handle(), &pt);
    SendMessageA(form_->lbxTaskList->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form_->lbxTaskList->Handle()),
                 MAKELPARAM(pt.x, pt.y));
  };
  Pump(30);
  EXPECT_TRUE(form_->btnAppendTask->Enabled());
  EXPECT_FALSE(form_->btnEditTask->Enabled());
  EXPECT_FALSE(form_->btnDeleteTask->Enabled());
  EXPECT_TRUE(form_->btnToTaskTray->Enabled());
  EXPECT_TRUE(form_->btnExit->Enabled());
  rightClick();
  EXPECT_EQ(menuCaptions, "タスクを追加(&A)|タスクを編集(&E)|タスクを削除(&D)");
  EXPECT_EQ(menuStates[0], 0u);
  EXPECT_EQ(menuStates[1], static_cast<UINT>(MF_GRAYED));
  EXPECT_EQ(menuStates[2], static_cast<UINT>(MF_GRAYED));

  const std::string file = MakeFile("t.exe");
  form_->lbxTaskList->Append("\"" + file + "\"");
  Pump(30);
  EXPECT_FALSE(form_->btnEditTask->Enabled());  // a line, but none selected

  form_->lbxTaskList->SetItemIndex(0);
  Pump(30);  // idle time refreshes the actions
  EXPECT_TRUE(form_->btnEditTask->Enabled());
  EXPECT_TRUE(form_->btnDeleteTask->Enabled());
  rightClick();
  EXPECT_EQ(menuStates[1], 0u);
  EXPECT_EQ(menuStates[2], 0u);

  form_->lbxTaskList->SetItemIndex(-1);
  Pump(30);
  EXPECT_FALSE(form_->btnEditTask->Enabled());
  EXPECT_FALSE(form_->btnDeleteTask->Enabled());
  // Disabled, the commands do nothing, also through their access keys.
  DialogAnswerer answers;
  PostMessageA(form_->lbxTaskList->Handle(), WM_SYSCHAR, 'e', 0);
  PostMessageA(form_->lbxTaskList->Handle(), WM_SYSCHAR, 'd', 0);
  Pump(100);
  EXPECT_TRUE(answers.Seen().empty());
  EXPECT_TRUE(answers.Unexpected().empty());
}

TEST_F(MainFormTest, AResumeRunsTheTasksAlsoBehindAModalDialog) {
  StartWithTwoTasks();
  const struct {
    WPARAM code;
    size_t opened;
  } codes[] = {{0, 0}, {6, 0}, {18, 0}, {7, 2}, {7, 4}};
  for (const auto& c : codes) {
    EXPECT_EQ(SendMessageA(form_->Handle(), WM_POWERBROADCAST, c.code, 0), 0) << c.code;
    EXPECT_EQ(shell_.Requests().size(), c.opened) << c.code;
  }
  const auto& first = shell_.Requests()[0];
  EXPECT_EQ(first.ownerWindow, reinterpret_cast<uintptr_t>(form_->Handle()));
  EXPECT_EQ(first.verb, std::optional<std::string>("OPEN"));
  EXPECT_EQ(first.file, "\"" + a_ + "\"");
  EXPECT_EQ(first.parameters, std::optional<std::string>("-x"));
  EXPECT_EQ(shell_.Requests()[1].parameters, std::optional<std::string>(""));
  shell_.Clear();

  // The delete question is open when the notification comes.
  form_->lbxTaskList->SetItemIndex(0);
  DialogAnswerer answers;
  answers.Expect("TMessageForm", "確認", [&](HWND w) {
    SendMessageA(form_->Handle(), WM_POWERBROADCAST, 7, 0);
    ClickButton(w, "いいえ(&N)");
  });
  form_->acnDeleteTask->Execute();
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_EQ(shell_.Requests().size(), 2u);
  EXPECT_EQ(Lines().size(), 2u);
}

struct Machine {
  const char* name;
  PowerMachine machine;  // of the fake
  bool onSystem, endOfLogon, registers;  // `registers` of the fake; this system answers itself
  size_t asks;  // registrations the fake is asked for
};
void PrintTo(const Machine& m, std::ostream* out) { *out << m.name; }

const Machine kMachines[] = {
    {"classic", PowerMachine::Classic, false, false, false, 0},
    {"Modern_Standby", PowerMachine::ModernStandby, false, false, true, 1},
    {"Modern_Standby_end_of_logon", PowerMachine::ModernStandby, false, true, true, 1},
    {"registration_fails", PowerMachine::RegistrationFails, false, true, false, 1},
    {"this_system", PowerMachine::Classic, true, false, false, 0},
};

class MainFormOnAMachine : public MainFormTest, public ::testing::WithParamInterface<Machine> {};

TEST_P(MainFormOnAMachine, OneReturnFromStandbyRunsTheListOnceAndTheRegistrationEnds) {
  const Machine& row = GetParam();
  Win32PowerPlatform system;  // Wine answers "classic"
  const bool registers = row.onSystem ? system.ModernStandby() == true : row.registers;
  power_ = FakePowerPlatform(row.machine);
  if (row.onSystem) powerPlatform_ = &system;
  StartWithTwoTasks();
  EXPECT_EQ(power_.Registered(), std::vector<uintptr_t>(row.asks, reinterpret_cast<uintptr_t>(form_->Handle())));
  for (WPARAM code : {7, 4, 18, 7, 7, 6}) EXPECT_EQ(SendMessageA(form_->Handle(), WM_POWERBROADCAST, code, 0), 0);
  EXPECT_EQ(shell_.Requests().size(), registers ? 4u : 6u);  // two tasks a pass
  if (row.endOfLogon) {
    SendMessageA(form_->Handle(), WM_QUERYENDSESSION, 0, 0);
    SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(halts_, 1);
  } else {
    Finish();
  }
  EXPECT_TRUE(power_.Live().empty());
  EXPECT_EQ(GetDword("Count"), 2u);  // saved as ever
  EXPECT_TRUE(reports_.empty());
}

INSTANTIATE_TEST_SUITE_P(, MainFormOnAMachine, ::testing::ValuesIn(kMachines),
                         [](const ::testing::TestParamInfo<Machine>& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, StartedMaximisedItShowsMaximised) {
  Start(SW_SHOWMAXIMIZED);
  EXPECT_TRUE(form_->Visible());
  EXPECT_TRUE(IsZoomed(form_->Handle()));
}

TEST_F(MainFormTest, StartedNormallyItShowsCentredOnTheScreen) {
  Start(SW_SHOWNORMAL);
  EXPECT_TRUE(form_->Visible());
  EXPECT_FALSE(IsZoomed(form_->Handle()));
  RECT r{};
  GetWindowRect(form_->Handle(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

// A shortcut set to run minimised: the tray, and at the first restore the main
// window in its normal state.
TEST_F(MainFormTest, StartedMinimisedItWaitsInTheTrayAndRestoresNormal) {
  Start(SW_SHOWMINNOACTIVE);
  EXPECT_FALSE(form_->Visible());
  EXPECT_FALSE(AppWindowVisible());
  EXPECT_TRUE(form_->TrayIconShown());
  SendMessageA(form_->Handle(), WM_TRAYICON, 1, WM_LBUTTONDOWN);
  Pump(30);
  EXPECT_TRUE(form_->Visible());
  EXPECT_FALSE(IsZoomed(form_->Handle()));
  EXPECT_FALSE(IsIconic(form_->Handle()));
}

// A line wider than the list, unquoted: its normal form is two bytes longer.
TEST_F(MainFormTest, TheLoadedListReachesTheWindowWithTheScrollWidthOfTheLinesAsRead) {
  const std::string file = MakeFile(std::string(70, 'w') + ".exe"), gone = Folder() + "\\gone.exe";
  SetLines({file + " -a", "", gone});
  Start();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"\"" + file + "\" -a", "* " + gone}));
  HWND list = form_->lbxTaskList->Handle();
  // 7 per byte in designed pixels, scaled to the DPI.
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0),
            MulDiv(static_cast<int>(file.size() + 3) * 7, form_->Dpi(), 96));
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
}

TEST_F(MainFormTest, ALoadStoppedByABadLineShowsTheLinesReadSoFarAsTheyWereRead) {
  const std::string file = MakeFile("a.exe");
  SetLines({file + " -a", "   ", "later"});
  PutDword("APP2", 7);  // the wrong type
  Start();
  EXPECT_EQ(reports_, std::vector<std::string>{AsShown(WrongType("APP2"))});
  EXPECT_EQ(Lines(), (std::vector<std::string>{file + " -a", "   "}));
  EXPECT_EQ(form_->lbxTaskList->ScrollWidth(), static_cast<int>(file.size() + 3) * 7);
}

TEST_F(MainFormTest, AFailedLoadIsReportedAndTheWindowStillOpens) {
  SetLines({MakeFile("a.exe")});
  PutString("Count", "x");  // the wrong type
  PutDword("MinimizeWhenStart", 1);
  Start();
  EXPECT_EQ(reports_, std::vector<std::string>{AsShown(WrongType("Count"))});
  EXPECT_TRUE(form_->Visible());
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(form_->ckbMinimizeWhenStart->Checked());
  EXPECT_FALSE(form_->timVelquin->Enabled());  // not even with the option stored

  // The save at exit keeps the line the load never brought in, and the option.
  Finish();
  EXPECT_EQ(GetDword("Count"), 1u);
  EXPECT_EQ(GetString("APP0"), MakeFile("a.exe"));
  EXPECT_EQ(GetDword("MinimizeWhenStart"), 1u);
}

}  // namespace
}  // namespace velquin::test

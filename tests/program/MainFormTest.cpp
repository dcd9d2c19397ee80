// The main window: the close path in every way, the action enabling rule, the power
// notification (also behind a modal dialog, and on every kind of machine), the
// start-up show states.
#include <cstring>
#include <functional>
#include <iterator>

#include "platform/Win32PowerPlatform.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/StoreMessages.h"
#include "text/CodePage932.h"

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

// Display-state records where Windows puts them, in the window's own memory: each
// ends where readable memory ends, so that a read beyond its stated length faults.
class RecordsAtPageEnd {
 public:
  RecordsAtPageEnd() {
    memory_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(memory_ + kPage, kPage, PAGE_NOACCESS, &old);
  }
  ~RecordsAtPageEnd() { VirtualFree(memory_, 0, MEM_RELEASE); }
  // The display state `state`, stated as `length` bytes long (0: only the header).
  LPARAM Place(DWORD state, DWORD length) {
    static const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    BYTE* record = memory_ + kPage - (sizeof(GUID) + sizeof length + length);
    std::memcpy(record, &kConsoleDisplayState, sizeof(GUID));
    std::memcpy(record + sizeof(GUID), &length, sizeof length);
    std::memcpy(record + sizeof(GUID) + sizeof length, &state, length);
    return reinterpret_cast<LPARAM>(record);
  }

 private:
  static constexpr size_t kPage = 4096;
  BYTE* memory_;
};

enum class End { Exit, EndOfLogon, Unwind };  // Unwind: the entry's exception path

struct Machine {
  const char* name;
  PowerMachine machine;  // of the fake
  bool onSystem;
  End end;
  bool registers, displayRegisters;  // of the fake; this system answers itself
  size_t asks;                       // registrations the fake is asked for
};
void PrintTo(const Machine& m, std::ostream* out) { *out << m.name; }

const Machine kMachines[] = {
    {"classic", PowerMachine::Classic, false, End::Exit, false, false, 0},
    {"Modern_Standby", PowerMachine::ModernStandby, false, End::Exit, true, true, 1},
    {"Modern_Standby_end_of_logon", PowerMachine::ModernStandby, false, End::EndOfLogon, true, true, 1},
    {"Modern_Standby_exception_path", PowerMachine::ModernStandby, false, End::Unwind, true, true, 1},
    {"registration_fails", PowerMachine::RegistrationFails, false, End::EndOfLogon, false, false, 1},
    {"display_state_refused", PowerMachine::DisplayRegistrationFails, false, End::Exit, true, false, 1},
    {"this_system", PowerMachine::Classic, true, End::Exit, false, false, 0},
};

class MainFormOnAMachine : public MainFormTest, public ::testing::WithParamInterface<Machine> {};

TEST_P(MainFormOnAMachine, OneReturnFromStandbyRunsTheListOnceAndTheRegistrationEnds) {
  const Machine& row = GetParam();
  Win32PowerPlatform system;  // Wine answers "classic"
  const bool registers = row.onSystem ? system.ModernStandby() == true : row.registers;
  power_ = FakePowerPlatform(row.machine);
  if (row.onSystem) powerPlatform_ = &system;
  StartWithTwoTasks();
  const std::vector<uintptr_t> window(1, reinterpret_cast<uintptr_t>(form_->Handle()));
  EXPECT_EQ(power_.Registered(), std::vector<uintptr_t>(row.asks, window[0]));
  EXPECT_EQ(power_.DisplayRegistered(), registers && !row.onSystem ? window : std::vector<uintptr_t>());
  // Event codes, and display-state records: on, on stated without its data, none at all.
  enum : WPARAM { On = 0x10001, OnWithoutData, NoRecord };
  const WPARAM received[] = {7, 4, 18, 7, 7, 6, On, 4, 18, On, 7, OnWithoutData, NoRecord};
  RecordsAtPageEnd records;
  for (WPARAM item : received) {
    const bool setting = item >= On;
    const LPARAM record = item == On ? records.Place(1, 4) : item == OnWithoutData ? records.Place(1, 0) : 0;
    EXPECT_EQ(SendMessageA(form_->Handle(), WM_POWERBROADCAST, setting ? PBT_POWERSETTINGCHANGE : item, record),
              setting ? TRUE : 0);
  }
  // Registered: the 7 before any sleep, then the first of 7 and the display
  // turning on in each of the two returns. Classic: every 7. Two tasks a pass.
  EXPECT_EQ(shell_.Requests().size(), registers ? 6u : 8u);
  if (!row.onSystem) {
    EXPECT_EQ(power_.Lines().size(), 1 + std::size(received));  // the start, then one a notification
  }
  switch (row.end) {
    case End::Exit:
      Finish();
      break;
    case End::EndOfLogon:
      SendMessageA(form_->Handle(), WM_QUERYENDSESSION, 0, 0);
      SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
      EXPECT_EQ(halts_, 1);
      break;
    case End::Unwind:
      app_.reset();
      form_ = nullptr;
      break;
  }
  EXPECT_EQ(power_.Unregistered().size(), registers && !row.onSystem ? 1u : 0u);
  EXPECT_EQ(power_.DisplayUnregistered().size(), row.displayRegisters ? 1u : 0u);
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

// A line wider than the list, unquoted: the scroll range fits its normal form,
// two bytes longer, as the list shows it.
TEST_F(MainFormTest, TheLoadedListReachesTheWindowWithTheScrollWidthOfTheLinesAsShown) {
  const std::string file = MakeFile(std::string(70, 'w') + ".exe"), gone = Folder() + "\\gone.exe";
  SetLines({file + " -a", "", gone});
  Start();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"\"" + file + "\" -a", "* " + gone}));
  HWND list = form_->lbxTaskList->Handle();
  // 7 per byte in designed pixels, scaled to the DPI.
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0),
            MulDiv(static_cast<int>(file.size() + 5) * 7, form_->Dpi(), 96));
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
}

// Texts reach Windows in code page 932 whatever code page the process has: a
// Japanese path whose trail bytes are backslashes loads, runs and is saved as it
// was; a stored text code page 932 cannot hold is reported and kept byte for byte,
// also when it moves behind an added line.
TEST_F(MainFormTest, TextsReachWindowsUnchangedWhateverTheProcessCodePage) {
  const std::string file = MakeFile("表示ソフト\\予定アプリ.exe");  // 表, ソ and 予 end in 0x5C
  const std::string quoted = "\"" + file + "\"", added = quoted + " added";
  const auto sz = [](std::wstring_view text) {
    return RawValue{REG_SZ, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2) + '\0' + '\0'};
  };
  const auto sjis = [&](const std::string& text) { return sz(WideFromCp932(text)); };
  const RawValue accented = sz(L"C:\\caf\u00E9.exe -x");
  const RawValue oddSize{REG_SZ, std::string("C\0:\0\xE9", 5)};
  const struct {
    const char* what;
    std::vector<RawValue> stored;
    std::vector<std::string> reports, lines;
    std::vector<RawValue> saved;  // after a line was added
  } rows[] = {
      {"Japanese path", {sjis(file + " -x")}, {}, {quoted + " -x"}, {sjis(quoted + " -x"), sjis(added)}},
      {"an accented letter",
       {sjis(file + " -x"), accented},
       {"'APP1' の取得に失敗しました."},
       {file + " -x"},
       {sjis(file + " -x"), sjis(added), accented}},
      {"an odd byte count", {oddSize}, {"'APP0' の取得に失敗しました."}, {}, {sjis(added), oddSize}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    PrivateRegistry::DeleteAll();
    PutDword("Count", static_cast<DWORD>(row.stored.size()));
    for (size_t i = 0; i < row.stored.size(); ++i) PutRaw(("APP" + std::to_string(i)).c_str(), row.stored[i]);
    reports_.clear();
    shell_.Clear();
    Start();
    EXPECT_EQ(reports_, row.reports);
    EXPECT_EQ(Lines(), row.lines);
    SendMessageA(form_->Handle(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    ASSERT_EQ(shell_.Requests().size(), row.lines.size());
    for (const auto& request : shell_.Requests()) {
      EXPECT_EQ(request.file, quoted);
      EXPECT_EQ(request.parameters, std::optional<std::string>("-x"));
    }
    form_->lbxTaskList->Append(added);
    Finish();
    EXPECT_EQ(GetDword("Count"), row.saved.size());
    for (size_t i = 0; i < row.saved.size(); ++i) {
      EXPECT_EQ(GetRaw(("APP" + std::to_string(i)).c_str()), row.saved[i]) << "APP" << i;
    }
    NewApplication();
  }
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

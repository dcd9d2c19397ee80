// The end of the logon: nothing is asked, the list is saved and the process ends
// inside the message, with nothing open or with any of the program's dialogs open;
// a save that fails shows no box that would hold the end up; a cancelled log-off
// changes nothing.
#include <functional>

#include "app/Velquin_InputTask.h"
#include "tests/program/HeapCheck.h"
#include "tests/program/ProgramFixture.h"
#include "toolkit/WindowText.h"

namespace velquin::test {
namespace {

class EndOfLogonTest : public ProgramTest {
 public:  // for the rows that open a window
  using ProgramTest::Folder;
  using ProgramTest::form_;
  using ProgramTest::MakeFile;

 protected:
  // Two lines, the first of which the user then deletes (unsaved).
  void StartWithTwoTasksAndDeleteTheFirst() {
    a_ = MakeFile("a.exe");
    b_ = MakeFile("b.exe");
    SetLines({a_ + " -x", "\"" + b_ + "\""});
    PutDword("MinimizeWhenStart", 0);
    Start();
    form_->lbxTaskList->Delete(0);
  }
  std::string a_, b_;
};

// What is open when the logon ends. `open` sets the answers (the last one ends
// the logon, through `endLogon`) and starts what opens the window; nothing when
// the logon ends with only the main window.
struct OpenWindow {
  const char* name;
  std::function<void(EndOfLogonTest&, DialogAnswerer&, std::function<void(HWND)> endLogon)> open;
};
void PrintTo(const OpenWindow& w, std::ostream* out) { *out << w.name; }

T_InputTaskForm* InputForm(HWND window) { return dynamic_cast<T_InputTaskForm*>(Application()->FindForm(window)); }

const OpenWindow kOpenWindows[] = {
    {"nothing", nullptr},
    {"input dialog",
     [](EndOfLogonTest& t, DialogAnswerer& answers, std::function<void(HWND)> endLogon) {
       const std::string typed = t.MakeFile("typed.exe");
       answers.Expect("T_InputTaskForm", "タスク入力", [typed, endLogon](HWND w) {
         SetWindowTextCp932(InputForm(w)->edtFileName->Handle(), typed);  // typed, never confirmed
         endLogon(w);
       });
       t.form_->acnAppendTask->Execute();
     }},
    {"error question",
     [](EndOfLogonTest& t, DialogAnswerer& answers, std::function<void(HWND)> endLogon) {
       const std::string missing = t.Folder() + "\\nothere.exe";
       answers.Expect("T_InputTaskForm", "タスク入力", [missing](HWND w) {
         SetWindowTextCp932(InputForm(w)->edtFileName->Handle(), missing);
         PostMessageA(InputForm(w)->btnOK->Handle(), BM_CLICK, 0, 0);
       });
       answers.Expect("TMessageForm", "エラー", endLogon);
       t.form_->acnAppendTask->Execute();
     }},
    {"delete question",
     [](EndOfLogonTest& t, DialogAnswerer& answers, std::function<void(HWND)> endLogon) {
       t.form_->lbxTaskList->SetItemIndex(0);
       answers.Expect("TMessageForm", "確認", endLogon);
       PostMessageA(t.form_->btnDeleteTask->Handle(), BM_CLICK, 0, 0);
     }},
    {"close question",
     [](EndOfLogonTest& t, DialogAnswerer& answers, std::function<void(HWND)> endLogon) {
       answers.Expect("TMessageForm", "確認", endLogon);
       PostMessageA(t.form_->Handle(), WM_CLOSE, 0, 0);
     }},
};

class EndOfLogonWithAWindowOpen : public EndOfLogonTest, public ::testing::WithParamInterface<OpenWindow> {};

// With a dialog open the process would have ended inside the message; the test's
// halt returns, so the command unwinds after every form is gone and must touch
// none of them.
TEST_P(EndOfLogonWithAWindowOpen, AsksNothingAndSavesBeforeTheProcessIsEnded) {
  StartWithTwoTasksAndDeleteTheFirst();
  {
    HeapCheck heap;
    DialogAnswerer answers;
    const HWND main = form_->Handle();
    if (GetParam().open) {
      GetParam().open(*this, answers, [this, main](HWND) {
        SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
        SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
      });
      form_ = nullptr;
      EXPECT_TRUE(PumpUntil([&] { return halts_ == 1; }, 5000));
      Pump(50);
      EXPECT_EQ(answers.Pending(), 0u);
    } else {
      EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, 0), 1);
      EXPECT_EQ(SendMessageA(app_->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
      Pump(30);
      EXPECT_TRUE(answers.Seen().empty());
      EXPECT_FALSE(app_->Terminated());
      SendMessageA(main, WM_ENDSESSION, TRUE, 0);  // the main window lets it pass
      SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
      // Everything happened inside the message.
      EXPECT_EQ(halts_, 1);
    }
    EXPECT_TRUE(answers.Unexpected().empty());
    EXPECT_EQ(heap.DoubleFrees(), 0);
    EXPECT_EQ(heap.WrittenAfterFree(), 0);
  }
  EXPECT_EQ(halts_, 1);
  EXPECT_EQ(app_->MainForm(), nullptr);
  EXPECT_TRUE(app_->Forms().empty());
  EXPECT_EQ(GetDword("Count"), 1u);
  EXPECT_EQ(GetString("APP0"), "\"" + b_ + "\"");
  EXPECT_EQ(GetDword("MinimizeWhenStart"), 0u);
  EXPECT_TRUE(reports_.empty());
}

INSTANTIATE_TEST_SUITE_P(, EndOfLogonWithAWindowOpen, ::testing::ValuesIn(kOpenWindows),
                         [](const ::testing::TestParamInfo<OpenWindow>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

TEST_F(EndOfLogonTest, AFailedSaveShowsNoBoxThatWouldHoldItUp) {
  StartWithTwoTasksAndDeleteTheFirst();
  app_->OnException = nullptr;  // the real report
  PutString("Count", "x");      // the save will fail on it
  DialogAnswerer answers;
  SendMessageA(form_->Handle(), WM_QUERYENDSESSION, 0, 0);
  SendMessageA(app_->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(halts_, 1);
  EXPECT_EQ(app_->MainForm(), nullptr);
  EXPECT_TRUE(answers.Unexpected().empty());
}

TEST_F(EndOfLogonTest, ACancelledLogoffChangesNothingAndTheNextCloseAsksAgain) {
  StartWithTwoTasksAndDeleteTheFirst();
  EXPECT_EQ(SendMessageA(form_->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_TRUE(form_->InQueryEndSession());
  SendMessageA(app_->Handle(), WM_ENDSESSION, FALSE, 0);
  SendMessageA(form_->Handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(form_->InQueryEndSession());  // any later message clears the flag
  EXPECT_EQ(halts_, 0);
  EXPECT_EQ(GetDword("Count"), 2u);

  DialogAnswerer answers;
  answers.Answer("確認", "いいえ(&N)");
  PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PumpUntil([&] { return answers.Pending() == 0; }, 3000);
  EXPECT_EQ(answers.Seen().size(), 1u);
  EXPECT_FALSE(app_->Terminated());
}

}  // namespace
}  // namespace velquin::test

// Adding, editing and deleting tasks through the input dialog, the error dialog,
// the delete question, the file-open dialog and a double click.
#include <functional>

#include "app/Velquin_InputTask.h"
#include "tests/program/HeapCheck.h"
#include "tests/program/ProgramFixture.h"
#include "toolkit/WindowText.h"

namespace velquin::test {
namespace {

T_InputTaskForm* InputForm(HWND window) { return dynamic_cast<T_InputTaskForm*>(Application()->FindForm(window)); }

// Types `text` into the dialog's edit field, as the user would.
void Type(HWND dialog, const std::string& text) {
  SetWindowTextCp932(InputForm(dialog)->edtFileName->Handle(), text);
}
void Press(TButton* button) { PostMessageA(button->Handle(), BM_CLICK, 0, 0); }

const char kNoSuchFile[] = "このようなファイルは存在しません。\r\n正しいファイル名を入力してください。";

class TaskEditingTest : public ProgramTest {
 protected:
  void Run(DialogAnswerer& answers, TAction* action) {
    action->Execute();
    Pump(30);
    EXPECT_EQ(answers.Pending(), 0u);
    EXPECT_TRUE(answers.Unexpected().empty());
    // The dialog is released once the command has returned.
    EXPECT_TRUE(PumpUntil([&] { return !FindOwned<T_InputTaskForm>(*form_, "_InputTaskForm"); }, 1000));
  }
};

// Also in a process whose code page is not 932: the typed Japanese name reaches
// the list and the registry byte for byte.
TEST_F(TaskEditingTest, AddQuotesTheFileAndKeepsTheParameters) {
  Start();
  std::vector<std::string> lines;
  for (const char* name : {"run.exe", "メモ帳 タスク.exe"}) {
    SCOPED_TRACE(name);
    const std::string file = MakeFile(name);
    DialogAnswerer answers;
    answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
      T_InputTaskForm* dialog = InputForm(w);
      EXPECT_FALSE(dialog->btnOK->Enabled());
      EXPECT_TRUE(dialog->edtFileName->Focused());
      Type(w, "  " + file + "   -x  ");
      EXPECT_TRUE(dialog->btnOK->Enabled());
      Press(dialog->btnOK);
    });
    Run(answers, form_->acnAppendTask);
    const std::string line = "\"" + file + "\" -x";
    lines.push_back(line);
    EXPECT_EQ(Lines(), lines);
    EXPECT_EQ(form_->lbxTaskList->ItemIndex(), -1);
    EXPECT_GE(form_->lbxTaskList->ScrollWidth(), static_cast<int>(line.size()) * 7);
  }
  Finish();
  EXPECT_EQ(GetString("APP0"), lines[0]);
  EXPECT_EQ(GetString("APP1"), lines[1]);
}

TEST_F(TaskEditingTest, AnAddedLineWithoutParametersEndsInASpaceThatEditingRemoves) {
  Start();
  const std::string file = MakeFile("doc.txt");
  DialogAnswerer answers;
  answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
    Type(w, file);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // Enter presses OK
  });
  Run(answers, form_->acnAppendTask);
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"" + file + "\" "});

  form_->lbxTaskList->SetItemIndex(0);
  answers.Expect("T_InputTaskForm", "タスク編集", [&](HWND w) {
    T_InputTaskForm* dialog = InputForm(w);
    EXPECT_EQ(dialog->edtFileName->Text(), "\"" + file + "\" ");
    EXPECT_TRUE(dialog->btnOK->Focused());
    Press(dialog->btnOK);
  });
  Run(answers, form_->acnEditTask);
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"" + file + "\""});
  EXPECT_EQ(form_->lbxTaskList->ItemIndex(), 0);  // stays selected
}

// An entry that names no file, or that code page 932 cannot hold (read as best fit,
// "rün.exe" would name the existing run.exe): the error, the dialog stays open
// with the text as typed, nothing is stored.
TEST_F(TaskEditingTest, ARefusedEntryShowsTheErrorAndTheDialogStaysOpen) {
  Start();
  const std::wstring folder = WideFromCp932(Folder() + "\\");
  const std::wstring run = folder + L"run.exe";
  MakeFile("run.exe");
  const struct {
    std::wstring typed;
    std::string error;
  } rows[] = {
      {folder + L"nothere.exe -q", kNoSuchFile},
      {folder + L"r\u00FCn.exe", kNotInShiftJisMessage},
      {folder + L"r\u20ACn.exe -x", kNotInShiftJisMessage},
      {run + L" -\u00FC", kNotInShiftJisMessage},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.error));
    DialogAnswerer answers;
    answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
      SetWindowTextW(InputForm(w)->edtFileName->Handle(), row.typed.c_str());
      Press(InputForm(w)->btnOK);
    });
    answers.Answer("エラー", "OK");
    answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
      T_InputTaskForm* dialog = InputForm(w);
      EXPECT_EQ(WideWindowText(dialog->edtFileName->Handle()), row.typed);
      EXPECT_TRUE(dialog->TaskFileName.empty());
      EXPECT_EQ(dialog->ModalResult(), mrNone);
      Press(dialog->btnCancel);
    });
    Run(answers, form_->acnAppendTask);
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[1].text, row.error);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(GetDword("Count"), 0u);
    EXPECT_EQ(GetString("APP0"), std::nullopt);
  }
}

// Each command writes the list at once, by the rules of the save at exit; a write
// refused at an edit is reported, the edit stays in the list, and the next save
// stores it.
TEST_F(TaskEditingTest, EachEditIsStoredAtOnce) {
  FakeRegistry fake;
  registryPort_ = &fake;
  const std::string a = MakeFile("a.exe"), b = MakeFile("b.exe"), c = MakeFile("c.exe");
  Start();
  // Through the buttons, so that an error reaches the program's report as it would.
  const auto type = [this](const std::string& text, TButton* button) {
    DialogAnswerer answers;
    answers.Expect("T_InputTaskForm", button == form_->btnEditTask ? "タスク編集" : "タスク入力", [text](HWND w) {
      Type(w, text);
      Press(InputForm(w)->btnOK);
    });
    Pump(30);  // the actions' state follows the selection
    Press(button);
    EXPECT_TRUE(PumpUntil([&] { return answers.Pending() == 0; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return !FindOwned<T_InputTaskForm>(*form_, "_InputTaskForm"); }, 1000));
    Pump(30);
  };
  const auto tick = [this] { SendMessageA(form_->ckbMinimizeWhenStart->Handle(), BM_CLICK, 0, 0); };
  const std::string qa = "\"" + a + "\"", qb = "\"" + b + "\"", qc = "\"" + c + "\"";
  const std::string writeFailed = "'APP0' の設定に失敗しました.";
  const struct {
    const char* what;
    std::function<void()> edit;
    const char* failingValue;
    std::vector<std::string> changes;
    std::vector<std::string> reports;
  } rows[] = {
      {"add", [&] { type(a + " -x", form_->btnAppendTask); }, nullptr,
       {"SetDword Count=1", "SetString APP0=" + qa + " -x", "SetDword MinimizeWhenStart=0"}, {}},
      {"edit", [&] { form_->lbxTaskList->SetItemIndex(0), type(b, form_->btnEditTask); }, nullptr,
       {"SetDword Count=1", "SetString APP0=" + qb, "SetDword MinimizeWhenStart=0"}, {}},
      {"tick", tick, nullptr, {"SetDword Count=1", "SetString APP0=" + qb, "SetDword MinimizeWhenStart=1"}, {}},
      {"delete", [&] {
         DialogAnswerer answers;
         answers.Answer("確認", "はい(&Y)");
         form_->lbxTaskList->SetItemIndex(0);
         form_->acnDeleteTask->Execute();
       }, nullptr, {"DeleteValue APP0", "SetDword Count=0", "SetDword MinimizeWhenStart=1"}, {}},
      {"add, refused", [&] { type(c, form_->btnAppendTask); }, "APP0",
       {"SetDword Count=1", "SetString APP0=" + qc + " "}, {writeFailed}},
      {"clear, stored", tick, nullptr, {"SetDword Count=1", "SetString APP0=" + qc + " ", "SetDword MinimizeWhenStart=0"}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    fake.ClearJournal();
    if (row.failingValue) fake.FailWrite(row.failingValue);
    row.edit();
    fake.ClearFailures();
    std::vector<std::string> changes;
    for (const std::string& entry : fake.Journal()) {
      if (entry.rfind("Set", 0) == 0 || entry.rfind("Delete", 0) == 0) changes.push_back(entry);
    }
    EXPECT_EQ(changes, row.changes);
    EXPECT_EQ(reports_, row.reports);
    reports_.clear();
    EXPECT_EQ(fake.OpenKeys(), 0);
  }
  EXPECT_EQ(Lines(), std::vector<std::string>{qc + " "});  // the refused add stayed
  Finish();  // the save at exit, while the registry it writes to still exists
}

TEST_F(TaskEditingTest, BlankTextCannotBeConfirmed) {
  Start();
  DialogAnswerer answers;
  answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
    T_InputTaskForm* dialog = InputForm(w);
    const struct {
      const char* text;
      bool enabled;
    } steps[] = {{"   ", false}, {"\t x ", true}, {"", false}, {"\r\n", false}, {"　", true}};
    for (const auto& step : steps) {
      Type(w, step.text);
      EXPECT_EQ(dialog->btnOK->Enabled(), step.enabled) << step.text;
    }
    Type(w, " ");
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // OK disabled: Enter does nothing
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  Run(answers, form_->acnAppendTask);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(answers.Seen().size(), 1u);
}

TEST_F(TaskEditingTest, AMarkedLineIsEditedWithItsMarker) {
  const std::string missing = Folder() + "\\gone.exe";
  SetLines({missing + " -a"});
  Start();
  ASSERT_EQ(Lines(), std::vector<std::string>{"* " + missing + " -a"});
  const std::string file = MakeFile("gone.exe");  // exists again, the marker stays

  form_->lbxTaskList->SetItemIndex(0);
  DialogAnswerer answers;
  answers.Expect("T_InputTaskForm", "タスク編集", [&](HWND w) {
    EXPECT_EQ(InputForm(w)->edtFileName->Text(), "* " + missing + " -a");
    Press(InputForm(w)->btnOK);
  });
  answers.Answer("エラー", "OK");  // parsed with the marker in front: no such file
  answers.Expect("T_InputTaskForm", "タスク編集", [&](HWND w) {
    Type(w, file + " -a");  // the marker removed
    Press(InputForm(w)->btnOK);
  });
  Run(answers, form_->acnEditTask);
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"" + file + "\" -a"});
}

TEST_F(TaskEditingTest, DeleteAsksAndOnlyYesDeletesAndTheScrollRangeStays) {
  const std::string longFile = MakeFile(std::string(60, 'l') + ".exe");
  const std::string shortFile = MakeFile("s.exe");
  SetLines({"\"" + shortFile + "\"", "\"" + longFile + "\" -p"});
  Start();
  const int width = form_->lbxTaskList->ScrollWidth();
  EXPECT_GE(width, static_cast<int>(longFile.size() + 5) * 7);

  form_->lbxTaskList->SetItemIndex(1);
  const std::string question = "タスク: \"\"" + longFile +
                               "\" -p\" を削除してもよろしいですか？\r\n"
                               "ヴェルキンの実行対象から外れるだけですので、ファイル本体は削除されません。";
  DialogAnswerer answers;
  answers.Answer("確認", "いいえ(&N)");
  answers.AnswerWithKey("確認", VK_ESCAPE);
  answers.Expect("TMessageForm", "確認", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
  for (int i = 0; i < 3; ++i) form_->acnDeleteTask->Execute();
  EXPECT_EQ(Lines().size(), 2u);
  ASSERT_EQ(answers.Seen().size(), 3u);
  EXPECT_EQ(answers.Seen()[0].text, question);

  answers.Answer("確認", "はい(&Y)");
  form_->acnDeleteTask->Execute();
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"" + shortFile + "\""});
  EXPECT_EQ(form_->lbxTaskList->ScrollWidth(), width);
  EXPECT_NE(GetFileAttributesA(longFile.c_str()), INVALID_FILE_ATTRIBUTES);  // the file stays
  Pump(30);
  EXPECT_FALSE(form_->btnDeleteTask->Enabled());  // nothing selected any more
}

TEST_F(TaskEditingTest, TheDeleteQuestionOfALongLineFitsTheWorkArea) {
  std::string line = "\"" + MakeFile("long.exe") + "\"";
  while (line.size() < 2000) line += " --parameter=C:\\Some\\Long\\Folder\\名前";
  line.resize(2000);
  Start();
  form_->lbxTaskList->Append(line);
  form_->lbxTaskList->SetItemIndex(0);
  DialogAnswerer answers;
  std::string fault = "not shown";
  answers.Expect("TMessageForm", "確認", [&](HWND w) {
    fault = LayoutFault(w);
    ClickButton(w, "いいえ(&N)");
  });
  form_->acnDeleteTask->Execute();
  EXPECT_EQ(fault, "");
  ASSERT_EQ(answers.Seen().size(), 1u);
  EXPECT_NE(answers.Seen()[0].text.find(line), std::string::npos);
  EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(TaskEditingTest, DoubleClickEditsOnlyASelectedLine) {
  const std::string file = MakeFile("d.exe");
  SetLines({"\"" + file + "\""});
  Start();
  DialogAnswerer answers;
  HWND list = form_->lbxTaskList->Handle();
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 150));  // below the lines
  Pump(100);
  EXPECT_EQ(form_->lbxTaskList->ItemIndex(), -1);
  EXPECT_TRUE(answers.Seen().empty());
  EXPECT_TRUE(answers.Unexpected().empty());

  form_->lbxTaskList->SetItemIndex(0);
  answers.Expect("T_InputTaskForm", "タスク編集", [&](HWND w) {
    EXPECT_EQ(InputForm(w)->edtFileName->Text(), "\"" + file + "\"");
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 5));
  Pump(30);
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_EQ(Lines(), std::vector<std::string>{"\"" + file + "\""});
}

TEST_F(TaskEditingTest, TheContextMenuEntriesRunTheirCommands) {
  const std::string file = MakeFile("m.exe");
  SetLines({"\"" + file + "\""});
  Start();
  UINT choice = 0;
  auto track = TPopupMenu::Track;
  TPopupMenu::Track = [&](HMENU, int, int, HWND) { return choice; };
  struct RestoreTrack {
    std::function<UINT(HMENU, int, int, HWND)> saved;
    ~RestoreTrack() { TPopupMenu::Track = saved; }
  } restore{track};
  auto rightClick = [&] {
    SendMessageA(form_->lbxTaskList->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form_->lbxTaskList->Handle()),
                 -1);
  };

  DialogAnswerer answers;
  choice = 2;  // "タスクを編集(&E)" without a selection: disabled, nothing happens
  rightClick();
  Pump(50);
  EXPECT_TRUE(answers.Seen().empty());

  form_->lbxTaskList->SetItemIndex(0);
  answers.Expect("T_InputTaskForm", "タスク編集", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
  rightClick();
  answers.Expect("T_InputTaskForm", "タスク入力", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
  choice = 1;
  rightClick();
  answers.Answer("確認", "はい(&Y)");
  choice = 3;
  rightClick();
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(TaskEditingTest, TheEllipsisButtonPicksAFileAndReplacesTheWholeText) {
  Start();
  const std::string picked = MakeFile("picked.exe"), japanese = MakeFile("選んだ.exe");
  const struct {
    std::wstring chosen;  // typed into the file dialog
    std::string text;     // the edit field afterwards
  } cases[] = {
      {WideFromCp932(picked), "\"" + picked + "\""},
      {WideFromCp932(japanese), "\"" + japanese + "\""},
      // Hangul has no code page 932 form: refused, the text stays.
      {WideFromCp932(Folder() + "\\") + L"\uD55C.exe", "old text -old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DialogAnswerer answers;
    answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
      Type(w, "old text -old");
      PostMessageA(InputForm(w)->edtFileName->ButtonHandle(), BM_CLICK, 0, 0);
    });
    answers.Expect("#32770", "ファイルを開く", [&](HWND w) {
      SetDlgItemTextW(w, 0x47C, c.chosen.c_str());  // the file name box
      SetDlgItemTextW(w, 0x480, c.chosen.c_str());
      PostMessageA(w, WM_COMMAND, IDOK, 0);
    });
    const bool refused = c.text == "old text -old";
    std::string text;
    bool enabled = false;
    answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
      text = InputForm(w)->edtFileName->Text();
      enabled = InputForm(w)->btnOK->Enabled();
      if (refused) Press(InputForm(w)->btnCancel);
      else PostMessageA(InputForm(w)->edtFileName->ButtonHandle(), BM_CLICK, 0, 0);
    });
    // A second time the dialog offers no initial name, not the earlier pick.
    std::wstring offered = L"not shown";
    if (!refused) {
      answers.Expect("#32770", "ファイルを開く", [&](HWND w) {
        wchar_t name[MAX_PATH] = {};
        GetDlgItemTextW(w, 0x47C, name, MAX_PATH);
        offered = name;
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      });
      answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) { Press(InputForm(w)->btnOK); });
    }
    Run(answers, form_->acnAppendTask);
    EXPECT_EQ(text, c.text);
    EXPECT_TRUE(enabled);
    if (!refused) {
      EXPECT_EQ(offered, L"");
    }
    // Reported as an error, in the box the program shows for one.
    ASSERT_EQ(reports_.size(), refused ? 1u : 0u);
    if (refused) {
      EXPECT_NE(reports_[0].find("Shift_JIS"), std::string::npos) << reports_[0];
    }
    reports_.clear();
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{"\"" + picked + "\" ", "\"" + japanese + "\" "}));
}

}  // namespace
}  // namespace velquin::test

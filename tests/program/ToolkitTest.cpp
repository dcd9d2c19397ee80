// The toolkit on its own: actions, keyboard access, the edit field's change event,
// modal forms and release, the message dialog, the error report, timers in modal
// loops, the list box's update. Layout, anchors, minimise and restore are tested through the program.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/Exception.h"
#include "tests/program/TestSupport.h"
#include "text/CodePage932.h"
#include "toolkit/Actions.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Dpi.h"
#include "toolkit/Forms.h"

namespace velquin {
namespace {

using namespace test;
using enum TControlKind;

// clang-format off
const TControlDesc kControls[] = {
  // kind      name         caption          left top width      height     anchors                  tab     options
  {Label,      "lblName",   "名前",           8,   8,  kAutoSize, kAutoSize, akLeftTop,               kNoTab},
  {ButtonEdit, "edtName",   "",               8,   24, 200,       kAutoSize, akLeft | akTop | akRight, 0},
  {Button,     "btnRun",    nullptr,          8,   60, 80,        25,        akRight | akBottom,      2,      0,                        "acnRun"},
  {Button,     "btnOK",     "OK",             100, 60, 80,        25,        akRight | akBottom,      1,      optDefault},
  {Button,     "btnCancel", "キャンセル",     190, 60, 80,        25,        akRight | akBottom,      3,      optCancel | optModalCancel},
  {CheckBox,   "ckbFlag",   "印(&F)",         8,   90, 100,       kAutoSize, akLeft | akBottom,       4},
  {Memo,       "memNote",   "",               8,   120, 260,      40,        akAll,                   kNoTab, optNoTabStop},
  {ListBox,    "lbxLines",  "",               190, 90,  80,       25,        akRight | akBottom,      kNoTab, optNoTabStop},
};
// clang-format on
const TFormDesc kTestForm{"TestForm", "テスト", 280, 170, TBorderStyle::Sizeable, TPosition::ScreenCenter, kControls};

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner, kTestForm) {}
  TActionList* acl = nullptr;
  TAction* acnRun = nullptr;
  bool runEnabled = true;
  int updates = 0, runs = 0, okClicks = 0, changes = 0, ellipsis = 0;

 protected:
  void CreateComponents() override {
    acl = new TActionList(this, "acl");
    acnRun = acl->Add("acnRun", "実行(&R)", [this](TComponent*) { ++runs; });
    acl->OnUpdate = [this](TAction* a, bool&) {
      ++updates;
      if (a == acnRun) acnRun->SetEnabled(runEnabled);
    };
  }
  void Loaded() override {
    Control<TButton>("btnOK")->OnClick = [this](TComponent*) { ++okClicks; };
    auto* edit = Control<TButtonEdit>("edtName");
    edit->OnChange = [this](TComponent*) { ++changes; };
    edit->OnButtonClick = [this](TComponent*, int) { ++ellipsis; };
  }
};

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    app_->SetTitle("ヴェルキン");
    app_->OnException = [this](const std::string& m) { reports_.push_back(m); };
  }
  void TearDown() override { app_.reset(); }
  TTestForm* ShowForm() {
    auto* form = app_->CreateForm<TTestForm>();
    form->Show();
    Pump(50);
    return form;
  }
  std::unique_ptr<TApplication> app_;
  std::vector<std::string> reports_;
};

TEST_F(ToolkitTest, ActionsFollowTheirUpdateAndRunOnlyWhenEnabled) {
  TTestForm* form = ShowForm();
  auto* button = form->Control<TButton>("btnRun");
  EXPECT_EQ(button->Caption(), "実行(&R)");

  form->runEnabled = false;
  app_->UpdateActions();
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(form->acnRun->Execute());
  SendMessageA(button->Handle(), WM_SYSCHAR, 'r', 0);  // also by access key
  PostMessageA(button->Handle(), WM_SYSCHAR, 'r', 0);
  Pump(30);
  EXPECT_EQ(form->runs, 0);

  // The state is refreshed right before the action runs, even if idle time has
  // not come yet.
  form->runEnabled = true;
  const int updates = form->updates;
  PostMessageA(form->Handle(), WM_SYSCHAR, 'R', 0);
  app_->ProcessMessages();
  EXPECT_EQ(form->runs, 1);
  EXPECT_GT(form->updates, updates);
  EXPECT_TRUE(button->Enabled());
  // Idle time refreshes it too: the loop's idle step, nobody else, disables it.
  form->runEnabled = false;
  EXPECT_TRUE(PumpUntil([&] { return !button->Enabled(); }, 1000));
  form->runEnabled = true;
  EXPECT_TRUE(PumpUntil([&] { return button->Enabled(); }, 1000));

  form->acnRun->SetCaption("走る(&G)");
  EXPECT_EQ(button->Caption(), "走る(&G)");
}

TEST_F(ToolkitTest, KeyboardReachesDefaultCancelAndTabOrder) {
  TTestForm* form = ShowForm();
  auto* edit = form->Control<TButtonEdit>("edtName");
  edit->SetFocus();
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  Pump(30);
  EXPECT_EQ(form->okClicks, 1);

  // Tab order: edtName 0, btnOK 1, btnRun 2, btnCancel 3, ckbFlag 4.
  const char* order[] = {"btnOK", "btnRun", "btnCancel", "ckbFlag", "edtName"};
  for (const char* name : order) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump(20);
    EXPECT_TRUE(form->Control<TControl>(name)->Focused()) << name;
  }

  auto* check = form->Control<TCheckBox>("ckbFlag");
  PostMessageA(GetFocus(), WM_SYSCHAR, 'f', 0);
  Pump(20);
  EXPECT_TRUE(check->Checked());
  EXPECT_TRUE(check->Focused());
}

TEST_F(ToolkitTest, AListBoxUpdateReachesTheWindowOnceAtItsOutermostEnd) {
  TTestForm* form = ShowForm();
  auto* list = form->Control<TListBox>("lbxLines");
  const HWND window = list->Handle();
  auto shown = [&] {
    std::vector<std::string> lines;
    char text[64];
    for (int i = 0; i < SendMessageA(window, LB_GETCOUNT, 0, 0); ++i) {
      SendMessageA(window, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines.emplace_back(text);
    }
    return lines;
  };
  // The window's extent in designed pixels (it holds them scaled to the DPI).
  auto extent = [&] { return MulDiv(SendMessageA(window, LB_GETHORIZONTALEXTENT, 0, 0), 96, form->Dpi()); };
  list->Append("kept");
  list->Append("second");
  list->SetItemIndex(1);
  list->SetScrollWidth(20);
  {
    TaskListUpdate outer(*list);
    TaskListUpdate inner(*list);
    list->Append("third");
    list->Replace(0, "first");
    list->Delete(1);
    list->SetScrollWidth(-5);
    list->SetScrollWidth(300);
    inner.Finish();
    // Reads give the changed list; the window keeps the old one until the end.
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Item(1), "third");
    EXPECT_EQ(list->ScrollWidth(), 300);
    EXPECT_THROW(list->Item(2), Exception);
    EXPECT_EQ(shown(), (std::vector<std::string>{"kept", "second"}));
    EXPECT_EQ(extent(), 20);
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_HSCROLL);
  }
  EXPECT_EQ(shown(), (std::vector<std::string>{"first", "third"}));
  EXPECT_EQ(extent(), 300);
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_HSCROLL);  // wider than the list
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(ToolkitTest, EditChangeEventOnlyForRealChanges) {
  TTestForm* form = ShowForm();
  auto* edit = form->Control<TButtonEdit>("edtName");
  edit->SetText("");
  EXPECT_EQ(form->changes, 0);
  edit->SetText("abc");
  EXPECT_EQ(form->changes, 1);
  edit->SetText("abc");
  EXPECT_EQ(form->changes, 1);
  edit->SetFocus();
  SendMessageA(edit->Handle(), EM_SETSEL, 3, 3);
  PostMessageA(edit->Handle(), WM_CHAR, 'd', 0);
  Pump(30);
  EXPECT_EQ(edit->Text(), "abcd");
  EXPECT_EQ(form->changes, 2);

  SendMessageA(edit->ButtonHandle(), BM_CLICK, 0, 0);
  Pump(20);
  EXPECT_EQ(form->ellipsis, 1);
  RECT button{}, field{};
  GetWindowRect(edit->ButtonHandle(), &button);
  GetWindowRect(edit->Handle(), &field);
  EXPECT_LE(button.right, field.right);
  EXPECT_GE(button.left, field.right - MulDiv(30, form->Dpi(), 96));  // 30 designed pixels
}

TEST_F(ToolkitTest, ModalResultAndReleaseAfterTheHandler) {
  TTestForm* main = ShowForm();
  auto* dialog = CreateForm<TTestForm>(main);
  bool destroyed = false;
  dialog->OnDestroy = [&](TComponent*) { destroyed = true; };
  DialogAnswerer answers;
  answers.Expect("TTestForm", "テスト", [](HWND w) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    (void)w;
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));

  answers.Expect("TTestForm", "テスト", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);

  dialog->Control<TButton>("btnOK")->OnClick = [dialog](TComponent*) { dialog->SetModalResult(mrOk); };
  answers.Expect("TTestForm", "テスト", [](HWND w) { ClickButton(w, "OK"); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);

  dialog->Release();
  EXPECT_FALSE(destroyed);  // not before the current handler has returned
  Pump(30);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(FindOwned<TForm>(*main, "TestForm"), nullptr);
}

struct DialogCase {
  const char* name;
  TMsgDlgType type;
  unsigned buttons;
  std::function<void(HWND)> answer;
  int expected;
};

TEST_F(ToolkitTest, MessageDialogAnswers) {
  ShowForm();
  auto key = [](WPARAM k) {
    return [k](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, k, 0); };
  };
  const DialogCase cases[] = {
      {"yes button", TMsgDlgType::Confirmation, mbYes | mbNo, [](HWND w) { ClickButton(w, "はい(&Y)"); }, mrYes},
      {"no button", TMsgDlgType::Confirmation, mbYes | mbNo, [](HWND w) { ClickButton(w, "いいえ(&N)"); }, mrNo},
      {"enter: yes is the default", TMsgDlgType::Confirmation, mbYes | mbNo, key(VK_RETURN), mrYes},
      {"esc answers no", TMsgDlgType::Confirmation, mbYes | mbNo, key(VK_ESCAPE), mrNo},
      {"alt+n", TMsgDlgType::Confirmation, mbYes | mbNo, [](HWND) { PostMessageA(GetFocus(), WM_SYSCHAR, 'n', 0); }, mrNo},
      {"close box", TMsgDlgType::Confirmation, mbYes | mbNo, [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }, mrCancel},
      {"error ok", TMsgDlgType::Error, mbOK, key(VK_RETURN), mrOk},
      {"error esc", TMsgDlgType::Error, mbOK, key(VK_ESCAPE), mrOk},
  };
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(c.name);
    const char* caption = c.type == TMsgDlgType::Confirmation ? "確認" : "エラー";
    DialogAnswerer answers;
    std::string buttons;
    answers.Expect("TMessageForm", caption, [&](HWND w) {
      buttons = ChildTexts(w, "Button");
      c.answer(w);
    });
    EXPECT_EQ(MessageDlg("一行目\r\n二行目 & 記号", c.type, c.buttons), c.expected);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "一行目\r\n二行目 & 記号");
    EXPECT_EQ(buttons, c.type == TMsgDlgType::Confirmation ? "はい(&Y)|いいえ(&N)" : "OK");
  }
}

// The type's icon at the dialog's display scale, also after the scale changes (a
// shared system icon would keep the size it was first loaded at).
TEST_F(ToolkitTest, TheMessageDialogIconFollowsTheDisplayScale) {
  ShowForm();
  std::vector<int> sides, expected;
  DialogAnswerer answers;
  answers.Expect("TMessageForm", "エラー", [&](HWND w) {
    TForm* dialog = Application()->FindForm(w);
    auto* image = dialog->Control<TImage>("Image");
    for (const int dpi : {dialog->Dpi(), dialog->Dpi() * 2, dialog->Dpi() * 5 / 4}) {
      RECT r{};
      GetWindowRect(w, &r);
      SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
      sides.push_back(IconSide(image->Picture().Icon()));
      expected.push_back(IconSizeForDpi(SM_CXICON, dpi));
    }
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  MessageDlg("アイコン", TMsgDlgType::Error, mbOK);
  EXPECT_EQ(sides, expected);
  EXPECT_EQ(expected.size(), 3u);
}

TEST_F(ToolkitTest, LongMessagesFitTheWorkAreaWithEveryButtonInside) {
  ShowForm();
  std::string twentyLines, spaced, unbroken, doubleByte;
  for (int i = 0; i < 20; ++i) twentyLines += "行 " + std::to_string(i) + "\r\n";
  while (spaced.size() < 2000) spaced += "C:\\Program Files\\長いフォルダ名 ";
  while (unbroken.size() < 2000) unbroken += "C:\\Folder\\name_without_blanks";
  while (doubleByte.size() < 2000) doubleByte += "長いフォルダ名";
  const struct {
    const char* name;
    std::string text;
    TMsgDlgType type;
    unsigned buttons;
  } cases[] = {
      {"twenty lines", twentyLines, TMsgDlgType::Confirmation, mbYes | mbNo},
      {"2,000 bytes with blanks", spaced, TMsgDlgType::Error, mbOK},
      {"2,000 bytes without a blank", unbroken, TMsgDlgType::Confirmation, mbYes | mbNo},
      {"2,000 bytes of double-byte text", doubleByte, TMsgDlgType::Error, mbOK},
      {"200,000 bytes", std::string(200000, 'x'), TMsgDlgType::Error, mbOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogAnswerer answers;
    std::string fault = "not shown";
    std::string text;
    answers.Expect("TMessageForm", c.type == TMsgDlgType::Confirmation ? "確認" : "エラー", [&](HWND w) {
      fault = LayoutFault(w);
      text = ChildTexts(w, "Static");
      PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    MessageDlg(c.text, c.type, c.buttons);
    EXPECT_EQ(fault, "");
    // The whole message, however it is broken (the helper reads 4,095 bytes).
    if (c.text.size() < 4095) {
      EXPECT_TRUE(text == c.text);
    }
  }
}

TEST_F(ToolkitTest, ErrorReportAppendsAFullStopAfterHigherBytes) {
  const struct {
    std::string message, shown;
  } cases[] = {
      {"abc", "abc."},       {"abc.", "abc."},           {"", ""},
      {"x!", "x!"},          {"a-", "a-"},               {"a/", "a/."},
      {"失敗しました", "失敗しました."}, {"終わり。", "終わり。."},
  };
  for (const auto& c : cases) {
    reports_.clear();
    try {
      throw Exception(c.message);
    } catch (...) {
      app_->HandleException();
    }
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0], c.shown) << c.message;
  }
}

TEST_F(ToolkitTest, ExceptionsLeavingHandlersAreReportedAndTheLoopGoesOn) {
  TTestForm* form = ShowForm();
  auto* ok = form->Control<TButton>("btnOK");
  ok->OnClick = [](TComponent*) { throw Exception("登録に失敗しました"); };
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  ok->OnClick = [](TComponent*) { throw std::runtime_error("runtime"); };
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  Pump(20);
  EXPECT_EQ(reports_, (std::vector<std::string>{"登録に失敗しました.", "runtime."}));

  // Without a replacement the report is a message box captioned with the title.
  app_->OnException = nullptr;
  DialogAnswerer answers;
  std::string text;
  answers.Expect("#32770", "ヴェルキン", [&](HWND w) {
    text = ChildTexts(w, "Static");
    PostMessageA(w, WM_COMMAND, IDOK, 0);
  });
  ok->OnClick = [](TComponent*) { throw Exception("箱"); };
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_NE(text.find("箱."), std::string::npos);
}

TEST_F(ToolkitTest, TimerTicksInsideModalLoops) {
  ShowForm();
  TTimer timer(nullptr, "tim", 50);
  int ticks = 0;
  timer.OnTimer = [&](TComponent*) { ++ticks; };
  timer.SetEnabled(true);
  DialogAnswerer answers;
  answers.Expect("TMessageForm", "確認", [&](HWND w) {
    PumpUntil([&] { return ticks >= 3; }, 2000);
    ClickButton(w, "いいえ(&N)");
  });
  MessageDlg("待つ", TMsgDlgType::Confirmation, mbYes | mbNo);
  EXPECT_GE(ticks, 3);
  timer.SetEnabled(false);
  const int stopped = ticks;
  Pump(150);
  EXPECT_EQ(ticks, stopped);
}

}  // namespace
}  // namespace velquin

namespace velquin {
namespace {

// Code page 932 both ways, whatever the process's code page.
// Whatever code page the process has.
TEST(CodePage932, ConvertsThroughCodePage932Only) {
  const struct {
    std::wstring wide;
    std::optional<std::string> narrow;  // std::nullopt: no code page 932 form
  } cases[] = {
      {L"", std::string()},
      {L"abc \\", std::string("abc \\")},
      {L"\u30BD\u30D5\u30C8", std::string("ソフト")},    // trail bytes 0x5C and 0x74
      {L"\uFF71\uFF72", std::string("\xB1\xB2")},        // half-width katakana
      {L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", std::string("ＭＳ Ｐゴシック")},
      {L"\uD55C", std::nullopt},                         // Hangul
      {L"caf\u00E9", std::nullopt},                      // no nearest-looking "e" either
      {L"a\U0001F600", std::nullopt},                    // outside the BMP
      {L"\u8868\u793A\u4E88", std::string("表示予")},    // trail bytes 0x5C
      {L"r\u00FCn", std::nullopt},
      {L"r\u20ACn", std::nullopt},
      {L"\u7E8A", std::string("\xFA\x5C")},              // of its two codes, the one that comes back
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.narrow.value_or("(none)"));
    EXPECT_EQ(Cp932FromWide(c.wide), c.narrow);
    if (c.narrow) {
      EXPECT_EQ(WideFromCp932(*c.narrow), c.wide);
      EXPECT_EQ(WideFromCp932Strict(*c.narrow), c.wide);
    }
  }
  // Bytes that are no code page 932 text are refused by the strict direction.
  for (const std::string& bytes : {std::string("ab\x81"), std::string("\x81 x"), std::string("\x82\x7F")}) {
    EXPECT_EQ(WideFromCp932Strict(bytes), std::nullopt) << bytes;
  }
}

// A form moved to a monitor of another DPI: lengths, font and item height follow.
TEST(Dpi, AFormFollowsAChangedDpi) {
  TApplication app;
  app.OnException = [](const std::string&) {};
  auto* form = app.CreateForm<TTestForm>();
  const int dpi = form->Dpi(), doubled = dpi * 2;
  auto* memo = form->Control<TMemo>("memNote");
  const int margin = form->ClientWidth() - memo->Left() - memo->Width();
  RECT suggested{};
  GetWindowRect(form->Handle(), &suggested);
  suggested.right = suggested.left + (suggested.right - suggested.left) * 2;
  suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * 2;
  SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(doubled, doubled), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form->Dpi(), doubled);
  RECT now{};
  GetWindowRect(form->Handle(), &now);
  EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);  // the suggested rectangle applied
  LOGFONTW font{};
  GetObjectW(form->Font(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(12, doubled, 96));
  // Anchored on all sides: its margins doubled, its width taking the rest.
  EXPECT_NEAR(form->ClientWidth() - memo->Left() - memo->Width(), margin * 2, 1);
  auto* button = form->Control<TButton>("btnOK");
  EXPECT_EQ(button->Width(), MulDiv(80, doubled, 96));
}

}  // namespace
}  // namespace velquin

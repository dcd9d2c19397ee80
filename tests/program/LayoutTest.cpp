// The layouts: the main window's client area and every control, the input
// dialog's and the about box's, as designed at 96 dots per inch and scaled to the
// display's DPI (VELQUIN_WINE_DPI names the one the prefix was started with). With
// VELQUIN_SCREENSHOTS set to a folder, the main window, the input dialog, the close
// question and the about box are saved there as BMP.
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "app/Velquin_InputTask.h"
#include "library/HLVGUICommonAboutForm.h"
#include "tests/program/ProgramFixture.h"
#include "toolkit/WindowText.h"
#include "VelquinVersion.h"

namespace velquin::test {
namespace {

struct Placement {
  const char* name;
  int left, top, width, height;  // designed; -1: not fixed by the layout
};

int ExpectedDpi() {
  const char* dpi = std::getenv("VELQUIN_WINE_DPI");
  return dpi && *dpi ? std::atoi(dpi) : 96;
}

// A designed length at the form's DPI, as the toolkit must scale it.
int Scaled(TForm* form, int designed) { return MulDiv(designed, form->Dpi(), 96); }

int FontHeight(HFONT font) {
  LOGFONTW info{};
  GetObjectW(font, sizeof info, &info);
  return info.lfHeight;
}

// The form is laid out for the display's DPI, and so are its fonts.
void ExpectDpi(TForm* form) {
  EXPECT_EQ(form->Dpi(), ExpectedDpi());
  EXPECT_EQ(FontHeight(form->Font()), -Scaled(form, 12));
}

RECT ClientRectOf(TControl* control) {
  RECT r{};
  GetWindowRect(control->Handle(), &r);
  MapWindowPoints(nullptr, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// `slack`: pixels of rounding allowed where anchors added scaled margins.
void ExpectPlacements(TForm* form, std::initializer_list<Placement> placements, int slack = 0) {
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.name);
    auto* control = FindOwned<TControl>(*form, p.name);
    ASSERT_NE(control, nullptr);
    const RECT r = ClientRectOf(control);
    EXPECT_NEAR(r.left, Scaled(form, p.left), slack);
    EXPECT_NEAR(r.top, Scaled(form, p.top), slack);
    if (p.width >= 0) {
      EXPECT_NEAR(r.right - r.left, Scaled(form, p.width), slack);
    }
    if (p.height >= 0) {
      EXPECT_NEAR(r.bottom - r.top, Scaled(form, p.height), slack);
    }
  }
}

void ExpectClientSize(TForm* form, int width, int height) {
  RECT r{};
  GetClientRect(form->Handle(), &r);
  EXPECT_EQ(r.right, Scaled(form, width));
  EXPECT_EQ(r.bottom, Scaled(form, height));
}

// Copies the window's pixels from the screen into <folder>/<name>.bmp.
void Screenshot(HWND window, const char* name) {
  const char* folder = std::getenv("VELQUIN_SCREENSHOTS");
  if (!folder || !*folder) return;
  Pump(500);
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * h, '\0');
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

// Where the user sees the main window's controls at 120 and 144 dots per inch, in
// client pixels (left, top, width, height; -1: sized by the text). At 96 the
// layout is the designed one and is left to the toolkit's own tests.
struct Seen {
  const char* name;
  RECT at120, at144;  // {left, top, width, height}
};
const Seen kMainWindowSeen[] = {
    {"cxLabel1", {10, 10, -1, -1}, {12, 12, -1, -1}},
    {"lbxTaskList", {10, 40, 574, 221}, {12, 48, 689, 266}},
    {"ckbMinimizeWhenStart", {6, 268, 181, -1}, {8, 321, 218, -1}},
    {"btnAppendTask", {203, 270, 119, 21}, {243, 324, 143, 26}},
    {"btnEditTask", {333, 270, 119, 21}, {399, 324, 143, 26}},
    {"btnDeleteTask", {463, 270, 119, 21}, {555, 324, 143, 26}},
    {"btnToTaskTray", {140, 299, 210, 31}, {168, 359, 252, 38}},
    {"btnAbout", {361, 299, 100, 31}, {434, 359, 120, 38}},
    {"btnExit", {473, 299, 109, 31}, {567, 359, 131, 38}},
};

void ExpectMainWindowAsSeen(TForm* form) {
  const int dpi = ExpectedDpi();
  if (dpi != 120 && dpi != 144) return;
  RECT client{};
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, dpi == 120 ? 593 : 711);
  EXPECT_EQ(client.bottom, dpi == 120 ? 338 : 405);
  for (const Seen& row : kMainWindowSeen) {
    SCOPED_TRACE(row.name);
    auto* control = FindOwned<TControl>(*form, row.name);
    ASSERT_NE(control, nullptr);
    const RECT& e = dpi == 120 ? row.at120 : row.at144;
    const RECT r = ClientRectOf(control);
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    if (e.right >= 0) {
      EXPECT_EQ(r.right - r.left, e.right);
    }
    if (e.bottom >= 0) {
      EXPECT_EQ(r.bottom - r.top, e.bottom);
    }
  }
}

class LayoutTest : public ProgramTest {};

TEST_F(LayoutTest, MainWindow) {
  const std::string a = MakeFile("backup.exe"), b = MakeFile("メモ.txt");
  SetLines({a + " /quiet", "\"" + b + "\"", Folder() + "\\missing.exe"});
  Start();
  form_->lbxTaskList->SetItemIndex(0);
  Pump(50);
  EXPECT_EQ(form_->Caption(), "ヴェルキン Ver, 1,1");
  std::string version = VELQUIN_VERSION;  // the project's, "1.1" shown as "1,1"
  std::replace(version.begin(), version.end(), '.', ',');
  EXPECT_EQ(form_->Caption(), "ヴェルキン Ver, " + version) << "the caption does not show the project's version";
  ExpectDpi(form_);
  const LONG style = GetWindowLongA(form_->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(GetMenu(form_->Handle()), nullptr);
  ExpectMainWindowAsSeen(form_);
  EXPECT_EQ(SendMessageA(form_->lbxTaskList->Handle(), LB_GETITEMHEIGHT, 0, 0), Scaled(form_, 12));
  const struct {
    TButton* button;
    const char* caption;
  } captions[] = {{form_->btnAppendTask, "タスクを追加(&A)"}, {form_->btnEditTask, "タスクを編集(&E)"},
                  {form_->btnDeleteTask, "タスクを削除(&D)"}, {form_->btnToTaskTray, "最小化(タスクトレイに表示)(&T)"},
                  {form_->btnAbout, "About .."},              {form_->btnExit, "終了(&X)"}};
  for (const auto& c : captions) EXPECT_EQ(c.button->Caption(), c.caption);
  EXPECT_EQ(form_->cxLabel1->Caption(), "スタンバイ、および休止状態からの復帰時に実行するタスク");
  EXPECT_EQ(form_->ckbMinimizeWhenStart->Caption(), "起動時に最小化する");
  Screenshot(form_->Handle(), "main-window");

  // Wider and taller: the list grows, the seven buttons follow the right and
  // bottom edges, the check box and the label stay at the left.
  form_->SetClientSize(Scaled(form_, 574), Scaled(form_, 320));
  Pump(30);
  ExpectPlacements(form_, {{"cxLabel1", 8, 8, -1, -1},
                           {"lbxTaskList", 8, 32, 559, 227},
                           {"ckbMinimizeWhenStart", 5, 264, 145, -1},
                           {"btnAppendTask", 262, 266, 95, 17},
                           {"btnToTaskTray", 212, 289, 168, 25},
                           {"btnExit", 478, 289, 87, 25}},
                   form_->Dpi() == 96 ? 0 : 1);
}

TEST_F(LayoutTest, InputDialogAndCloseQuestion) {
  Start();
  DialogAnswerer answers;
  answers.Expect("T_InputTaskForm", "タスク入力", [&](HWND w) {
    auto* dialog = dynamic_cast<T_InputTaskForm*>(Application()->FindForm(w));
    ExpectDpi(dialog);
    ExpectClientSize(dialog, 482, 95);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    ExpectPlacements(dialog, {{"cxLabel1", 8, 8, -1, -1},
                              {"edtFileName", 8, 32, 465, -1},
                              {"btnOK", 129, 64, 105, 25},
                              {"btnCancel", 249, 64, 105, 25}});
    EXPECT_EQ(dialog->cxLabel1->Caption(),
              "実行するファイル名を入力してください （実行時パラメータを指定できます）");
    EXPECT_EQ(dialog->btnOK->Caption(), "OK(&O)");
    EXPECT_EQ(dialog->btnCancel->Caption(), "キャンセル(&C)");
    SetWindowTextA(dialog->edtFileName->Handle(), "C:\\Tools\\backup.exe /quiet");
    Screenshot(w, "input-dialog");
    PostMessageA(dialog->edtFileName->ButtonHandle(), BM_CLICK, 0, 0);
  });
  // The file dialog the ellipsis opens, with its caption and its one file type.
  std::string fileTypes;
  answers.Expect("#32770", "ファイルを開く", [&](HWND w) {
    HWND types = GetDlgItem(w, 0x470);  // the file type box
    for (int i = 0; i < SendMessageW(types, CB_GETCOUNT, 0, 0); ++i) {
      wchar_t type[128] = {};
      SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(type));
      fileTypes += (i ? "|" : "") + Cp932FromWideLossy(type);
    }
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
  });
  answers.Expect("T_InputTaskForm", "タスク入力", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
  form_->acnAppendTask->Execute();
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_EQ(fileTypes, "すべてのファイル (*.*)");

  answers.Expect("TMessageForm", "確認", [&](HWND w) {
    Screenshot(w, "close-question");
    ClickButton(w, "いいえ(&N)");
  });
  PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PumpUntil([&] { return answers.Pending() == 0; }, 5000);
  Pump(50);
}

// The about button shows cmpAbout's box: no icon, texts at the left, no appendix.
TEST_F(LayoutTest, AboutBoxOfTheMainWindow) {
  Start();
  DialogAnswerer answers;
  bool seen = false;
  answers.Expect("T_HLVGUICommonAboutForm", "ヴェルキン のバージョン情報", [&](HWND w) {
    seen = true;
    auto* dialog = dynamic_cast<T_HLVGUICommonAboutForm*>(Application()->FindForm(w));
    ASSERT_NE(dialog, nullptr);
    ExpectDpi(dialog);
    ExpectClientSize(dialog, 500, 107);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(dialog->imgAppIcon->Visible());
    EXPECT_FALSE(dialog->memAppendix->Visible());
    EXPECT_EQ(FontHeight(reinterpret_cast<HFONT>(SendMessageW(dialog->lblProductName->Handle(), WM_GETFONT, 0, 0))),
              -Scaled(dialog, 12));  // the bold font too
    ExpectPlacements(dialog, {{"lblProductName", 12, 12, -1, 12},
                              {"lblProductVersion", 12, 32, -1, 12},
                              {"lblCompanyName", 12, 52, -1, 12},
                              {"lblCopyright", 12, 72, -1, 12},
                              {"btnClose", 340, 8, 147, 25},
                              {"btnJumpToUserRegSite", 340, 40, 147, 25},
                              {"btnContactSite", 340, 72, 147, 25}});
    EXPECT_EQ(dialog->lblProductName->Caption(), "ヴェルキン");
    EXPECT_TRUE(dialog->lblProductName->Bold());
    EXPECT_EQ(dialog->lblProductVersion->Caption(), "1.1");
    EXPECT_EQ(dialog->lblCompanyName->Caption(), "HALVERN");
    EXPECT_EQ(dialog->lblCopyright->Caption(), "Copyright (C) 2026 HALVERN");
    EXPECT_EQ(dialog->btnClose->Caption(), "閉じる(&C)");
    EXPECT_EQ(dialog->btnJumpToUserRegSite->Caption(), "ユーザー登録ページへ(&R)");
    EXPECT_EQ(dialog->btnContactSite->Caption(), "お問い合せフォームへ(&T)");
    for (TButton* b : {dialog->btnClose, dialog->btnJumpToUserRegSite, dialog->btnContactSite}) {
      EXPECT_TRUE(b->Visible());
      EXPECT_TRUE(b->Enabled());
      EXPECT_FALSE(b->Default);
    }
    EXPECT_TRUE(dialog->btnClose->Cancel);
    // Centred on the screen with its final size.
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);
    Screenshot(w, "about-box");
    dialog->btnContactSite->Click();
    PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  form_->btnAbout->Click();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(reports_.empty());
  ASSERT_EQ(shell_.Requests().size(), 1u);
  EXPECT_EQ(shell_.Requests()[0].file, "https://halvern.example/inquiry/index.html");
  EXPECT_EQ(shell_.Requests()[0].showCommand, 5);
  EXPECT_TRUE(PumpUntil([] { return !FindWindowA("T_HLVGUICommonAboutForm", nullptr); }, 2000));
}

}  // namespace
}  // namespace velquin::test

// The built Velquin.exe as a user meets it: a prepared registry key, tasks that
// record how they were started, a resume notification from another process, the
// end of the logon (wineboot -e) or the close question, and the key read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/DebugOutputViewer.h"
#include "tests/support/OtherProcess.h"
#include "tests/support/RegistryValues.h"

namespace {

using velquin::test::RoundTrip;
using velquin::test::RunningCopies;
using velquin::test::RunToEnd;
using velquin::test::StartProcess;
using velquin::test::TestKey;
using velquin::test::WaitFor;
using velquin::test::WindowsPath;

const TestKey kStore("SOFTWARE\\HALVERN\\Velquin");
const char kCaption[] = "ヴェルキン Ver, 1,1";

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kStore.DeleteTree();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "velquin e2e";
    CreateDirectoryA(folder_.c_str(), nullptr);
    recorder_ = folder_ + "\\recorder.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(VELQUIN_RECORDER).c_str(), recorder_.c_str(), FALSE));
    record_ = folder_ + "\\started.txt";
    DeleteFileA(record_.c_str());
    SetEnvironmentVariableA("VELQUIN_RECORD", record_.c_str());
  }
  void TearDown() override {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    kStore.DeleteTree();
    DeleteFileA(record_.c_str());
    DeleteFileA(recorder_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  void PrepareKey() {
    ASSERT_TRUE(kStore.PutDword("Count", 3));
    kStore.PutString("APP0", recorder_ + " alpha");                   // unquoted, a space in the path
    kStore.PutString("APP1", "\"" + folder_ + "\\missing.exe\" x");    // no such file: skipped
    kStore.PutString("APP2", "\"" + recorder_ + "\"  beta \"gamma delta\" ");
    kStore.PutDword("MinimizeWhenStart", 0);
  }

  HWND StartVelquin(WORD show) {
    if (!StartProcess("\"" + WindowsPath(VELQUIN_EXE) + "\"", show, process_)) return nullptr;
    HWND window = nullptr;
    WaitFor([&] { return (window = FindWindowA("T_MainForm", kCaption)) != nullptr; }, 30000);
    // The list is loaded and the window in its state once its thread answers.
    if (window && !RoundTrip(window)) return nullptr;
    if (window && show != SW_SHOWMINNOACTIVE && !WaitFor([&] { return IsWindowVisible(window) != 0; }, 10000))
      return nullptr;
    return window;
  }

  // The arguments of the tasks started so far, once `expected` have recorded
  // themselves and none runs any more, in the order their processes were created:
  // the order Velquin had the shell open them in, whichever ran first.
  std::vector<std::string> Started(size_t expected) {
    std::vector<std::string> lines;
    const bool done = WaitFor(
        [&] {
          lines.clear();
          std::ifstream in(record_);
          std::string line;
          while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
          }
          return lines.size() >= expected && RunningCopies("recorder.exe") == 0;
        },
        20000);
    EXPECT_TRUE(done) << lines.size() << " of " << expected << " tasks recorded";
    std::sort(lines.begin(), lines.end());  // by creation time
    for (size_t i = 1; i < lines.size(); ++i)
      EXPECT_NE(lines[i].substr(0, 16), lines[i - 1].substr(0, 16)) << "two tasks created at one instant";
    for (std::string& line : lines) line.erase(0, std::min<size_t>(line.size(), 17));
    return lines;
  }

  // Velquin's main windows on the desktop.
  static int MainWindows() {
    int count = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "T_MainForm", kCaption)) != nullptr;) ++count;
    return count;
  }

  bool Ended() { return WaitForSingleObject(process_.hProcess, 30000) == WAIT_OBJECT_0; }

  // A visible top-level window of the class and caption, once it is there.
  static HWND Shown(const char* className, const char* caption) {
    HWND window = nullptr;
    WaitFor([&] { return (window = FindWindowA(className, caption)) && IsWindowVisible(window); }, 10000);
    if (window) RoundTrip(window);  // its creation handled to the end
    return window;
  }
  static void Click(HWND parent, const char* caption) {
    PostMessageA(FindWindowExA(parent, nullptr, "Button", caption), BM_CLICK, 0, 0);
  }

  std::string folder_, recorder_, record_;
  PROCESS_INFORMATION process_{};
};

TEST_F(EndToEndTest, AResumeOpensTheTasksInListOrderAndTheEndOfTheLogonSavesTheList) {
  PrepareKey();
  HWND window = StartVelquin(SW_SHOWNORMAL);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));

  EXPECT_EQ(RunToEnd("\"" + WindowsPath(VELQUIN_RESUME_TOOL) + "\""), 0);
  EXPECT_EQ(Started(2), (std::vector<std::string>{"alpha", "beta \"gamma delta\""}));

  EXPECT_EQ(RunToEnd("wineboot.exe -e"), 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(kStore.GetDword("Count"), 3u);
  EXPECT_EQ(kStore.GetString("APP0"), "\"" + recorder_ + "\" alpha");  // normalised at load
  EXPECT_EQ(kStore.GetString("APP1"), "\"" + folder_ + "\\missing.exe\" x");  // without its marker
  EXPECT_EQ(kStore.GetString("APP2"), "\"" + recorder_ + "\" beta \"gamma delta\"");
  EXPECT_EQ(kStore.GetDword("MinimizeWhenStart"), 0u);
}

TEST_F(EndToEndTest, StartedMinimisedItWaitsInTheTrayAndStillSavesAtTheEndOfTheLogon) {
  PrepareKey();
  HWND window = StartVelquin(SW_SHOWMINNOACTIVE);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  HWND app = FindWindowA("TApplication", "ヴェルキン");
  ASSERT_NE(app, nullptr);
  EXPECT_FALSE(IsWindowVisible(app));  // no taskbar button either

  DWORD_PTR result = 1;
  SendMessageTimeoutA(window, WM_POWERBROADCAST, 7, 0, SMTO_NORMAL, 30000, &result);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(Started(2).size(), 2u);

  EXPECT_EQ(RunToEnd("wineboot.exe -e"), 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(kStore.GetDword("Count"), 3u);
  EXPECT_EQ(kStore.GetString("APP0"), "\"" + recorder_ + "\" alpha");
}

// A second start while Velquin waits in the tray shows the running copy and ends
// at once; it loads nothing (it would create the missing Count) and saves nothing.
TEST_F(EndToEndTest, ASecondStartShowsTheRunningCopyAndEnds) {
  PrepareKey();
  HWND window = StartVelquin(SW_SHOWMINNOACTIVE);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(IsWindowVisible(window));
  kStore.Delete("Count");
  ASSERT_EQ(kStore.GetDword("Count"), std::nullopt);

  PROCESS_INFORMATION second{};
  const ULONGLONG started = GetTickCount64();
  ASSERT_TRUE(StartProcess("\"" + WindowsPath(VELQUIN_EXE) + "\"", SW_SHOWNORMAL, second));
  const bool ended = WaitForSingleObject(second.hProcess, 10000) == WAIT_OBJECT_0;
  const ULONGLONG took = GetTickCount64() - started;
  if (!ended) TerminateProcess(second.hProcess, 9);
  DWORD code = 1;
  GetExitCodeProcess(second.hProcess, &code);
  CloseHandle(second.hProcess);
  CloseHandle(second.hThread);
  ASSERT_TRUE(ended);
  std::printf("The second start ended after %llu ms.\n", static_cast<unsigned long long>(took));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != 0; }, 5000));
  EXPECT_EQ(MainWindows(), 1);
  EXPECT_EQ(kStore.GetDword("Count"), std::nullopt);
  kStore.PutDword("Count", 3);

  EXPECT_EQ(RunToEnd("\"" + WindowsPath(VELQUIN_RESUME_TOOL) + "\""), 0);
  // Started waits until no task runs: everything the notification started is
  // recorded, each task once.
  EXPECT_EQ(Started(2), (std::vector<std::string>{"alpha", "beta \"gamma delta\""}));

  EXPECT_EQ(RunToEnd("wineboot.exe -e"), 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(kStore.GetDword("Count"), 3u);
  EXPECT_EQ(kStore.GetString("APP0"), "\"" + recorder_ + "\" alpha");  // as the running copy normalised it
  EXPECT_EQ(kStore.GetString("APP2"), "\"" + recorder_ + "\" beta \"gamma delta\"");
}

// Edits through the window are stored as they are made: killed right after them (a
// crash, Task Manager's End task), the program loses none of them.
TEST_F(EndToEndTest, AKilledProcessKeepsItsEdits) {
  PrepareKey();
  HWND window = StartVelquin(SW_SHOWNORMAL);
  ASSERT_NE(window, nullptr);
  HWND list = FindWindowExA(window, nullptr, "ListBox", nullptr);
  ASSERT_NE(list, nullptr);

  SendMessageA(list, LB_SETCURSEL, 1, 0);  // the missing task
  Click(window, "タスクを削除(&D)");
  HWND question = Shown("TMessageForm", "確認");
  ASSERT_NE(question, nullptr);
  Click(question, "はい(&Y)");
  EXPECT_TRUE(WaitFor([] { return kStore.GetDword("Count") == 2u; }, 10000));

  Click(window, "タスクを追加(&A)");
  HWND input = Shown("T_InputTaskForm", "タスク入力");
  ASSERT_NE(input, nullptr);
  const std::string added = recorder_ + " added";
  std::wstring wide(added.size() * 2 + 1, L'\0');
  wide.resize(MultiByteToWideChar(932, 0, added.c_str(), -1, wide.data(), static_cast<int>(wide.size())) - 1);
  SetWindowTextW(FindWindowExA(input, nullptr, "Edit", nullptr), wide.c_str());
  HWND ok = FindWindowExA(input, nullptr, "Button", "OK(&O)");
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(ok) != 0; }, 5000));
  Click(input, "OK(&O)");
  EXPECT_TRUE(WaitFor([] { return kStore.GetDword("Count") == 3u; }, 10000));

  Click(window, "起動時に最小化する");
  EXPECT_TRUE(WaitFor([] { return kStore.GetDword("MinimizeWhenStart") == 1u; }, 10000));

  ASSERT_TRUE(TerminateProcess(process_.hProcess, 1));
  ASSERT_TRUE(Ended());
  const std::vector<std::string> stored{"\"" + recorder_ + "\" alpha", "\"" + recorder_ + "\" beta \"gamma delta\"",
                                        "\"" + recorder_ + "\" added"};
  EXPECT_EQ(kStore.GetDword("Count"), 3u);
  for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(kStore.GetString(("APP" + std::to_string(i)).c_str()), stored[i]);
  EXPECT_EQ(kStore.GetDword("MinimizeWhenStart"), 1u);

  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  process_ = {};
  window = StartVelquin(SW_SHOWNORMAL);
  ASSERT_NE(window, nullptr);
  list = FindWindowExA(window, nullptr, "ListBox", nullptr);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  for (int i = 0; i < 3; ++i) {
    wchar_t wideLine[1024] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wideLine));
    char line[2048] = {};
    WideCharToMultiByte(932, 0, wideLine, -1, line, sizeof line, nullptr, nullptr);
    EXPECT_EQ(line, stored[i]);
  }
}

TEST_F(EndToEndTest, AMaximisedShortcutOpensTheWindowMaximisedAndTheCloseQuestionEndsIt) {
  HWND window = StartVelquin(SW_SHOWMAXIMIZED);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(IsZoomed(window));

  PostMessageA(window, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = FindWindowA("TMessageForm", "確認")) && IsWindowVisible(question); },
                      10000));
  ASSERT_TRUE(RoundTrip(question));  // its modal loop runs
  PostMessageA(FindWindowExA(question, nullptr, "Button", "はい(&Y)"), BM_CLICK, 0, 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(kStore.GetDword("Count"), 0u);  // first start: the key was created
  EXPECT_EQ(kStore.GetDword("MinimizeWhenStart"), 0u);
}

// Run in the prefix whose stand-in power library reports S0 low-power idle: the
// program registers for suspend, resume and the display state, and each return
// opens the list once, whether Windows tells of it with event code 7, with the
// display turning on, or with both in either order. The display-state records lie
// in Velquin's own memory, as Windows places them.
TEST_F(EndToEndTest, OnS0LowPowerIdleEachReturnOpensTheListOnce) {
  const char* standby = std::getenv("VELQUIN_EXPECT_STANDBY");
  ASSERT_TRUE(standby && std::string(standby) == "S0 low-power idle") << "runs only in the S0 low-power idle prefix";
  velquin::test::DebugOutputViewer viewer;
  ASSERT_TRUE(viewer.Listening());
  PrepareKey();
  HWND window = StartVelquin(SW_SHOWMINNOACTIVE);
  ASSERT_NE(window, nullptr);
  const std::string resume = "\"" + WindowsPath(VELQUIN_RESUME_TOOL) + "\"";
  const struct {
    const char* notifications;
    size_t started;  // task starts so far: two a pass
  } returns[] = {
      {"on off on", 0},  // the state sent at registration, the screen back after an idle time-out
      {"4 18 on 7", 2},
      {"4 18 7 on", 4},
      {"18 on", 6},      // the 4 lost
      {"4 dimmed on", 8},
      {"4 18 7 7", 10},
  };
  for (const auto& r : returns) {
    EXPECT_EQ(RunToEnd(resume + " " + r.notifications), 0) << r.notifications;
    EXPECT_EQ(Started(r.started).size(), r.started) << r.notifications;
  }
  // The notifications are sent, not posted: every pass had asked the shell before
  // the tool returned, so no later start can still come.
  EXPECT_EQ(Started(10).size(), 10u);  // no pass more than the returns

  // What a debug-output viewer shows: the start, then one line for each
  // notification, saying what it decided.
  const auto lines = viewer.Lines("Velquin power: ");
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0], "Velquin power: start, S0 low-power idle; suspend/resume and display state registered");
  EXPECT_EQ(lines[1], "Velquin power: 32787 display on: none (not armed)");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 12, lines.begin() + 14),
            (std::vector<std::string>{"Velquin power: 18 resume automatic: none (ran -> armed)",
                                      "Velquin power: 32787 display on: pass (armed -> ran)"}));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find(": pass (") != std::string::npos; }),
            5);

  EXPECT_EQ(RunToEnd("wineboot.exe -e"), 0);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(kStore.GetDword("Count"), 3u);
}

}  // namespace

// Drives the built Velquin.exe through bad registry data, the end of the logon
// with each modal window open, and storms of resume notifications. Each case
// prepares the real registry key with raw data, starts the program, reads what it
// shows (error box, list box lines, check box), ends it and reads the key back.
// Writes Markdown tables to the file named by the first argument; exit code 0 only
// when every required outcome held.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/OtherProcess.h"
#include "tests/support/RegistryMatrix.h"
#include "tests/support/RegistryValues.h"
#include "tests/support/StoreMessages.h"

namespace {

using velquin::test::RoundTrip;
using velquin::test::RunningCopies;
using velquin::test::AsShown;
using velquin::test::ReadFailed;
using velquin::test::StartProcess;
using velquin::test::WrongType;
using velquin::test::TestKey;
using velquin::test::WaitFor;
using velquin::test::WindowsPath;

const char kKey[] = "SOFTWARE\\HALVERN\\Velquin";
const char kMainCaption[] = "ヴェルキン Ver, 1,1";
const char kTitle[] = "ヴェルキン";
// Start or exit slower than this counts as a hang. Typical figures are 0.5 to 2 s;
// the margin is for a loaded machine (two cores shared with compiles).
const DWORD kHangMs = 10000;

std::string gFolder, gRecorder, gRecords;
int gFailures = 0;
FILE* gOut = nullptr;

double Seconds(ULONGLONG ms) { return ms / 1000.0; }

// --- Registry ------------------------------------------------------------------------

const TestKey kStore(kKey);
void ResetKey() { kStore.DeleteTree(); }
using Stored = velquin::test::StoredValue;
std::optional<Stored> Get(const char* name) { return kStore.Get(name); }
std::string CutAtNul(const std::string& data) { return data.substr(0, data.find('\0')); }

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
  }
  return "?";
}

// A short, table-safe rendering of some text.
std::string Show(const std::string& text, size_t limit = 40) {
  std::string shown;
  for (size_t i = 0; i < text.size() && i < limit; ++i) {
    const char c = text[i];
    if (c == '|') shown += "\\|";
    else if (c == '\r') shown += "\\r";
    else if (c == '\n') shown += "\\n";
    else shown += c;
  }
  if (text.size() > limit) shown += "…(" + std::to_string(text.size()) + " bytes)";
  return shown;
}

std::string ShowStored(const char* name) {
  const std::optional<Stored> value = Get(name);
  if (!value) return "(none)";
  if (value->type == REG_DWORD && value->data.size() == 4) {
    return "DWORD " + std::to_string(*reinterpret_cast<const int32_t*>(value->data.data()));
  }
  return std::string(TypeName(value->type)) + " " + std::to_string(value->data.size()) + " B";
}

// --- Windows of the program -----------------------------------------------------------

DWORD gPid = 0;

struct Found {
  const char* className;
  const char* caption;
  HWND window;
};
BOOL CALLBACK FindOwnWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != gPid || !IsWindowVisible(window)) return TRUE;
  char cls[64] = {}, text[256] = {};
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, text, sizeof text);
  if (strcmp(cls, found->className) == 0 && (!found->caption || strcmp(text, found->caption) == 0)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}
// A visible top-level window of the program of that class (and caption).
HWND Visible(const char* className, const char* caption) {
  Found found{className, caption, nullptr};
  EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

std::string Text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(length + 1, '\0');
  text.resize(GetWindowTextA(window, text.data(), length + 1));
  return text;
}
BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  const std::string text = Text(child);
  if (_stricmp(cls, "Static") == 0 && !text.empty()) {
    auto* texts = reinterpret_cast<std::string*>(param);
    if (!texts->empty()) *texts += " / ";
    *texts += text;
  }
  return TRUE;
}
std::string StaticTexts(HWND dialog) {
  std::string texts;
  EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The program's default error box (a system message box captioned with the title).
HWND ErrorBox() { return Visible("#32770", kTitle); }

BOOL CALLBACK FindMain(HWND window, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (pid != gPid || strcmp(cls, "T_MainForm") != 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}
// The main window of the program started last (shown or not).
HWND MainWindow() {
  HWND main = nullptr;
  EnumWindows(FindMain, reinterpret_cast<LPARAM>(&main));
  return main;
}

std::vector<std::string> ListLines(HWND main) {
  std::vector<std::string> lines;
  HWND list = FindWindowExA(main, nullptr, "ListBox", nullptr);
  if (!list) return lines;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Read as UTF-16 (what Wine hands across processes) and converted back to the
    // ANSI code page; the buffer has room to spare.
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length > 4096) {
      // Wine ends the program when a reply this long crosses processes: the
      // length is all that is read.
      lines.push_back("(" + std::to_string(length) + " characters)");
      continue;
    }
    std::wstring wide(length > 0 ? 2 * (length + 1) + 16 : 16, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(got > 0 ? std::min<size_t>(got, wide.size()) : 0);
    std::string line;
    if (!wide.empty()) {
      const int bytes = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
      line.resize(bytes);
      WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), line.data(), bytes, nullptr, nullptr);
    }
    lines.push_back(line);
  }
  return lines;
}

bool Checked(HWND main) {
  HWND box = FindWindowExA(main, nullptr, "Button", "起動時に最小化する");
  return box && SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, const char* caption) {
  if (HWND button = FindWindowExA(dialog, nullptr, "Button", caption)) PostMessageA(button, BM_CLICK, 0, 0);
}

// --- One run of the program -------------------------------------------------------------

struct Run {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
  ULONGLONG startMs = 0;       // to the main window, or to the error box shown first
  std::string message;         // the error box's text at start, if any
  std::vector<std::string> lines;
  bool checked = false;
  bool started = false;
};

bool Alive(const Run& run) { return WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT; }

void Finish(Run& run) {
  if (!run.process.hProcess) return;
  if (Alive(run)) TerminateProcess(run.process.hProcess, 9);
  WaitForSingleObject(run.process.hProcess, 5000);
  CloseHandle(run.process.hProcess);
  CloseHandle(run.process.hThread);
  run.process = {};
}

DWORD ExitCode(const Run& run) {
  DWORD code = 0;
  GetExitCodeProcess(run.process.hProcess, &code);
  return code;
}

// Starts Velquin.exe; answers an error box at start with OK (recording its text)
// unless `keepErrorBox`; waits until the main window exists and has been idle.
Run Start(WORD show = SW_SHOWNORMAL, bool keepErrorBox = false) {
  Run run;
  const ULONGLONG t0 = GetTickCount64();
  if (!StartProcess("\"" + WindowsPath(VELQUIN_EXE) + "\"", show, run.process)) return run;
  gPid = run.process.dwProcessId;
  bool ready = WaitFor(
      [&] {
        if (HWND box = ErrorBox()) {
          if (!run.startMs) run.startMs = GetTickCount64() - t0;
          if (run.message.empty()) run.message = StaticTexts(box);
          if (keepErrorBox) return true;
          Click(box, "OK");
          return false;
        }
        HWND main = MainWindow();
        if (!main) return !Alive(run);
        if (show != SW_SHOWMINNOACTIVE && !IsWindowVisible(main)) return false;
        if (!run.startMs) run.startMs = GetTickCount64() - t0;
        run.main = main;
        return true;
      },
      30000);
  if (!run.startMs) run.startMs = GetTickCount64() - t0;
  run.main = MainWindow();
  run.started = ready && run.main && Alive(run);
  if (run.started && !keepErrorBox) {
    // Once idle (a message round trip), the list and the check box are final.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(run.main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    run.lines = ListLines(run.main);
    run.checked = Checked(run.main);
  }
  return run;
}

// Closes the program the normal way: the close question answered "はい(&Y)". An
// error box at exit (a save that failed) is read into `message` and answered.
// Returns the time from the answer to the end of the process, or nothing.
std::optional<ULONGLONG> CloseNormally(Run& run, std::string* message = nullptr) {
  PostMessageA(run.main, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  if (!WaitFor([&] { return (question = Visible("TMessageForm", "確認")) != nullptr; }, 10000)) return std::nullopt;
  RoundTrip(question);  // its modal loop runs
  const ULONGLONG t0 = GetTickCount64();
  Click(question, "はい(&Y)");
  const bool ended = WaitFor(
      [&] {
        if (HWND box = ErrorBox()) {
          if (message && message->empty()) *message = StaticTexts(box);
          Click(box, "OK");
        }
        return !Alive(run);
      },
      30000);
  if (!ended) return std::nullopt;
  return GetTickCount64() - t0;
}

struct ToolResult {
  int code = -1;
  ULONGLONG ms = 0;
};
ToolResult RunTool(const std::string& commandLine) {
  ToolResult result;
  PROCESS_INFORMATION info{};
  const ULONGLONG t0 = GetTickCount64();
  if (!StartProcess(commandLine, SW_SHOWNORMAL, info)) return result;
  WaitForSingleObject(info.hProcess, 60000);
  result.ms = GetTickCount64() - t0;
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  result.code = static_cast<int>(code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return result;
}

// --- Started tasks ------------------------------------------------------------------------

// The recorder leaves one file per start in the records folder.
int CountStarted() {
  int count = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((gRecords + "\\*.txt").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileA(find, &data));
  FindClose(find);
  return count;
}
void ClearStarted() {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((gRecords + "\\*.txt").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do DeleteFileA((gRecords + "\\" + data.cFileName).c_str());
  while (FindNextFileA(find, &data));
  FindClose(find);
}
// The starts recorded once `expected` have come and no recording task runs any
// more, so that a start too many that was already made is counted as well. (A
// round trip does not show that posted notifications were handled: a sent message
// overtakes them.)
int WaitStarted(int expected, DWORD timeoutMs) {
  WaitFor([&] { return CountStarted() >= expected && RunningCopies("recorder.exe") == 0; }, timeoutMs);
  return CountStarted();
}

// --- Output ----------------------------------------------------------------------------

void Line(const std::string& text) { fprintf(gOut, "%s\n", text.c_str()); }
std::string Verdict(bool ok) {
  if (!ok) ++gFailures;
  return ok ? "ok" : "**FAIL**";
}
std::string Secs(ULONGLONG ms) {
  char text[32];
  snprintf(text, sizeof text, "%.2f", Seconds(ms));
  return text;
}

// --- 1. Bad registry data --------------------------------------------------------------



// The data: `size` bytes of 'x' from a buffer whose next byte is not NUL either.
std::string Filler(size_t size) { return std::string(size, 'x'); }

struct DataCase {
  const char* target;  // Count, APP0 or MinimizeWhenStart
  DWORD type;
  size_t size;
};

std::string SizeName(size_t size) {
  if (size >= 1024 * 1024) return std::to_string(size / (1024 * 1024)) + " MiB";
  if (size >= 1024) return std::to_string(size / 1024) + " KiB";
  return std::to_string(size) + " B";
}

void BadDataCase(const DataCase& c) {
  ClearStarted();
  ResetKey();
  const std::string valid = "\"" + gRecorder + "\" kept";
  const std::string target = c.target;
  kStore.Put(c.target, c.type, Filler(c.size));  // no NUL after the counted bytes either
  if (target != "Count") kStore.PutDword("Count", target == "APP0" ? 2 : 1);
  if (target == "APP0") {
    kStore.PutString("APP1", valid);
  } else {
    kStore.PutString("APP0", valid);
  }

  // What the store's rules say the load shows.
  std::string expectedMessage;
  if (target == "APP0") {
    if (c.size > 0 && c.type != REG_SZ && c.type != REG_EXPAND_SZ) expectedMessage = AsShown(WrongType(target));
  } else if (c.size > 4) {
    expectedMessage = AsShown(ReadFailed(target));
  } else if (c.type != REG_DWORD) {
    expectedMessage = AsShown(WrongType(target));
  }

  Run run = Start();
  std::optional<ULONGLONG> exitMs;
  std::string exitMessage;
  if (run.started) exitMs = CloseNormally(run, &exitMessage);
  const bool crashed = !run.started || !exitMs || ExitCode(run) != 0;

  // The valid line must survive in the key whatever happened to the bad value; a
  // bad APP0 that was a string must come back as the same text.
  const std::string validName = target == "APP0" ? "APP1" : "APP0";
  bool kept = false;
  for (const char* name : {"APP0", "APP1"}) {
    const std::optional<Stored> value = Get(name);
    if (value && (value->type == REG_SZ || value->type == REG_EXPAND_SZ) && CutAtNul(value->data) == valid) kept = true;
  }
  if (target == "APP0" && (c.type == REG_SZ || c.type == REG_EXPAND_SZ) && c.size > 0) {
    const std::optional<Stored> value = Get("APP0");
    kept = kept && value && CutAtNul(value->data) == Filler(c.size);
  }
  if (target == "APP0" && c.size > 0 && c.type != REG_SZ && c.type != REG_EXPAND_SZ) {
    // The unreadable value itself is left as it was.
    const std::optional<Stored> value = Get("APP0");
    kept = kept && value && value->type == c.type && value->data == Filler(c.size);
  }

  std::string listed;
  for (const std::string& line : run.lines) listed += (listed.empty() ? "" : "<br>") + Show(line, 30);
  const bool timely = run.startMs < kHangMs && exitMs && *exitMs < kHangMs;
  // The save after a load that stopped keeps what the load could not read (a bad
  // line where it was, the lines a bad Count counted) and reports nothing.
  const bool ok = !crashed && timely && kept && run.message == expectedMessage && exitMessage.empty();
  Line("| " + target + " | " + TypeName(c.type) + " | " + SizeName(c.size) + " | " +
       (run.message.empty() ? "-" : Show(run.message, 80)) + " | " + (exitMessage.empty() ? "-" : Show(exitMessage, 80)) +
       " | " + (listed.empty() ? "(empty)" : listed) + " | " +
       (run.checked ? "on" : "off") + " | " + ShowStored("Count") + "; APP0 " + ShowStored("APP0") + "; APP1 " +
       ShowStored("APP1") + "; MWS " + ShowStored("MinimizeWhenStart") + " | " + Secs(run.startMs) + " | " +
       (exitMs ? Secs(*exitMs) : "-") + " | " + Verdict(ok) + " |");
  fflush(gOut);
  Finish(run);
}

void BadDataMatrix() {
  Line("## Bad registry data");
  Line("");
  Line("Each row: the key is emptied; the named value is written with `RegSetValueExA`, that type and that");
  Line("many bytes of `x` (from a buffer whose next byte is not NUL either, so no terminator is supplied);");
  Line("beside it one valid line (`Count` = 1 and `APP0`, or for `APP0` rows `Count` = 2 and `APP1`).");
  Line("The program is started, any error box at start is read and answered, the list box and the check");
  Line("box are read, the program is closed through the close question, and the key is read back.");
  Line("Start: process creation to the main window shown (or to the error box, when one comes first).");
  Line("Exit: the answer \"はい(&Y)\" to the end of the process. Verdict `ok` = no crash, start and exit");
  Line("each under 10 s, the message the store's rules give (none, \"'…' のデータ型が不正です\" or");
  Line("\"'…' の取得に失敗しました\"), the valid line still stored and a bad `APP0` still stored unchanged.");
  Line("After a load that stopped, the save keeps every stored line the load did not bring in, unchanged and");
  Line("counted (a bad `Count` is replaced by one that counts every line value there is), and writes the");
  Line("option only when ticked: nothing is reported at exit, and the next start reports the same value again.");
  Line("MWS = `MinimizeWhenStart`; sizes of registry values after exit are whole data sizes.");
  Line("");
  Line("| Value | Type | Size | Message at start | Message at exit | List | Check box | Registry after exit | Start s | Exit s | Verdict |");
  Line("|---|---|---|---|---|---|---|---|---|---|---|");
  for (const char* target : {"Count", "APP0", "MinimizeWhenStart"}) {
    for (DWORD type : velquin::test::kMatrixTypes) {
      for (size_t size : velquin::test::kMatrixSizes) {
        // VELQUIN_ONLY=<value>:<size> runs one slice of the matrix again.
        if (const char* only = getenv("VELQUIN_ONLY")) {
          if (std::string(only) != std::string(target) + ":" + std::to_string(size)) continue;
        }
        BadDataCase({target, type, size});
      }
    }
  }
  Line("");
}

// Count values and sparse indexes with three valid lines.
void CountCase(const char* title, int32_t count, const std::vector<int>& indexes, const std::vector<int>& expectLoaded,
               const std::vector<int>& expectKept) {
  ResetKey();
  kStore.PutDword("Count", static_cast<DWORD>(count));
  for (int index : indexes) {
    kStore.PutString(("APP" + std::to_string(index)).c_str(), "\"" + gRecorder + "\" line" + std::to_string(index));
  }
  Run run = Start();
  std::optional<ULONGLONG> exitMs;
  if (run.started) exitMs = CloseNormally(run);
  const bool crashed = !run.started || !exitMs || ExitCode(run) != 0;

  std::vector<std::string> expectedLines;
  for (int index : expectLoaded) expectedLines.push_back("\"" + gRecorder + "\" line" + std::to_string(index));
  // Every expected line is still in the key, under some APP value.
  std::vector<std::string> stored;
  for (int i = 0; i < 16; ++i) {
    const std::optional<Stored> value = Get(("APP" + std::to_string(i)).c_str());
    if (value) stored.push_back(CutAtNul(value->data));
  }
  bool kept = true;
  for (int index : expectKept) {
    const std::string line = "\"" + gRecorder + "\" line" + std::to_string(index);
    kept = kept && std::find(stored.begin(), stored.end(), line) != stored.end();
  }
  std::string storedNames;
  for (int i = 0; i < 16; ++i) {
    if (Get(("APP" + std::to_string(i)).c_str())) storedNames += (storedNames.empty() ? "APP" : ", APP") + std::to_string(i);
  }
  const bool timely = run.startMs < kHangMs && exitMs && *exitMs < kHangMs;
  const bool ok = !crashed && timely && kept && run.message.empty() && run.lines == expectedLines;
  if (!ok) {
    for (const std::string& line : run.lines) fprintf(stderr, "listed: [%s] %zu\n", line.c_str(), line.size());
  }
  Line(std::string("| ") + title + " | " + (run.message.empty() ? "-" : Show(run.message, 80)) + " | " +
       std::to_string(run.lines.size()) + " | " + ShowStored("Count") + "; " + (storedNames.empty() ? "no APP" : storedNames) +
       " | " + Secs(run.startMs) + " | " + (exitMs ? Secs(*exitMs) : "-") + " | " + Verdict(ok) + " |");
  fflush(gOut);
  Finish(run);
}

void CountMatrix() {
  Line("### Count values and sparse indexes");
  Line("");
  Line("Lines are `\"<recorder>\" lineN` stored as `APPN`. Verdict `ok` = no message, the list holds the lines the");
  Line("rules load, in order, each of them is still stored after exit, and start and exit each take under 10 s.");
  Line("");
  Line("| Case | Message | Lines listed | Registry after exit | Start s | Exit s | Verdict |");
  Line("|---|---|---|---|---|---|---|");
  CountCase("Count 0, APP0-APP2 present", 0, {0, 1, 2}, {}, {0, 1, 2});
  CountCase("Count -1, APP0-APP2 present", -1, {0, 1, 2}, {}, {0, 1, 2});
  CountCase("Count -2147483648, APP0-APP2 present", INT32_MIN, {0, 1, 2}, {}, {0, 1, 2});
  CountCase("Count 2147483647, APP0-APP2 present", INT32_MAX, {0, 1, 2}, {0, 1, 2}, {0, 1, 2});
  CountCase("Count 5, APP0, APP2, APP4 present (sparse)", 5, {0, 2, 4}, {0, 2, 4}, {0, 2, 4});
  CountCase("Count 3, APP1, APP2, APP7 present (APP0 missing, APP7 beyond Count)", 3, {1, 2, 7}, {1, 2}, {1, 2, 7});
  CountCase("Count 2, APP0-APP4 present (values beyond Count)", 2, {0, 1, 2, 3, 4}, {0, 1}, {0, 1, 2, 3, 4});
  Line("");
}

// --- 2. End of the logon with each window open -----------------------------------------

// The list as the program holds it, normalised, and an unsaved change: when the
// key shows both after the end of the logon, the save ran.
void PrepareTwoLines() {
  ResetKey();
  kStore.PutDword("Count", 2);
  kStore.PutString("APP0", gRecorder + " first");                      // normalised at load
  kStore.PutString("APP1", "\"" + gFolder + "\\missing.exe\" second");  // marked at load
}
bool SavedAsExpected() {
  const std::optional<Stored> count = Get("Count");
  const std::optional<Stored> app0 = Get("APP0");
  const std::optional<Stored> app1 = Get("APP1");
  const std::optional<Stored> minimize = Get("MinimizeWhenStart");  // written only by a save
  return count && count->data.size() == 4 && *reinterpret_cast<const int32_t*>(count->data.data()) == 2 && app0 &&
         CutAtNul(app0->data) == "\"" + gRecorder + "\" first" && app1 &&
         CutAtNul(app1->data) == "\"" + gFolder + "\\missing.exe\" second" && minimize;
}

struct Situation {
  const char* name;
  WORD show;
  std::function<bool(Run&)> open;  // opens the window; true when it is shown
  const char* note;
};

HWND Button(HWND main, const char* caption) { return FindWindowExA(main, nullptr, "Button", caption); }

bool SelectFirst(Run& run) {
  HWND list = FindWindowExA(run.main, nullptr, "ListBox", nullptr);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  // The idle update enables the commands.
  return WaitFor([&] { return IsWindowEnabled(Button(run.main, "タスクを編集(&E)")) != 0; }, 5000);
}

std::vector<Situation> Situations() {
  return {
      {"idle, window shown", SW_SHOWNORMAL, [](Run&) { return true; }, ""},
      {"in the notification area", SW_SHOWMINNOACTIVE, [](Run& run) { return !IsWindowVisible(run.main); }, ""},
      {"close question open", SW_SHOWNORMAL,
       [](Run& run) {
         PostMessageA(run.main, WM_CLOSE, 0, 0);
         return WaitFor([] { return Visible("TMessageForm", "確認") != nullptr; }, 5000);
       },
       ""},
      {"delete question open", SW_SHOWNORMAL,
       [](Run& run) {
         SelectFirst(run);
         PostMessageA(Button(run.main, "タスクを削除(&D)"), BM_CLICK, 0, 0);
         return WaitFor([] { return Visible("TMessageForm", "確認") != nullptr; }, 5000);
       },
       ""},
      {"input dialog open", SW_SHOWNORMAL,
       [](Run& run) {
         PostMessageA(Button(run.main, "タスクを追加(&A)"), BM_CLICK, 0, 0);
         return WaitFor([] { return Visible("T_InputTaskForm", nullptr) != nullptr; }, 5000);
       },
       ""},
      {"file dialog open", SW_SHOWNORMAL,
       [](Run& run) {
         PostMessageA(Button(run.main, "タスクを追加(&A)"), BM_CLICK, 0, 0);
         HWND input = nullptr;
         if (!WaitFor([&] { return (input = Visible("T_InputTaskForm", nullptr)) != nullptr; }, 5000)) return false;
         HWND edit = FindWindowExA(input, nullptr, "Edit", nullptr);
         PostMessageA(FindWindowExA(edit, nullptr, "Button", "..."), BM_CLICK, 0, 0);
         return WaitFor([] { return Visible("#32770", "ファイルを開く") != nullptr; }, 10000);
       },
       ""},
      {"edit dialog showing an error", SW_SHOWNORMAL,
       [](Run& run) {
         SelectFirst(run);
         PostMessageA(Button(run.main, "タスクを編集(&E)"), BM_CLICK, 0, 0);
         HWND input = nullptr;
         if (!WaitFor([&] { return (input = Visible("T_InputTaskForm", nullptr)) != nullptr; }, 5000)) return false;
         HWND edit = FindWindowExA(input, nullptr, "Edit", nullptr);
         SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("no such file"));
         HWND ok = FindWindowExA(input, nullptr, "Button", "OK(&O)");
         if (!WaitFor([&] { return IsWindowEnabled(ok) != 0; }, 5000)) return false;
         PostMessageA(ok, BM_CLICK, 0, 0);
         return WaitFor([] { return Visible("TMessageForm", "エラー") != nullptr; }, 5000);
       },
       ""},
      {"about box open", SW_SHOWNORMAL,
       [](Run& run) {
         PostMessageA(Button(run.main, "About .."), BM_CLICK, 0, 0);
         return WaitFor([] { return Visible("T_HLVGUICommonAboutForm", nullptr) != nullptr; }, 5000);
       },
       ""},
      {"default error box open (bad Count at start)", SW_SHOWNORMAL, nullptr, ""},
  };
}

void SessionEnd() {
  Line("## End of the logon");
  Line("");
  Line("The key holds two lines: `<recorder> first` (unquoted; the load normalises it) and a line whose file is");
  Line("missing (marked at load, saved without the marker). After `wineboot -e` the key must hold the");
  Line("normalised first line, the second line unchanged and a `MinimizeWhenStart` value (written only by the");
  Line("save). wineboot s: how long `wineboot -e` took (it waits for the program's answer to");
  Line("`WM_QUERYENDSESSION` and `WM_ENDSESSION`); ended s: from the start of `wineboot -e` to the end of");
  Line("the program. Verdict `ok` = wineboot returned 0 within 10 s, the program ended, exit code 0, the list was saved.");
  Line("");
  Line("| Open at the end of the logon | Window shown | wineboot s | Ended s | Exit code | List saved | Verdict |");
  Line("|---|---|---|---|---|---|---|");
  for (const Situation& s : Situations()) {
    bool shown = false;
    Run run;
    if (!s.open) {
      // A Count of the wrong type: the store reports it while the window is created.
      ResetKey();
          kStore.PutString("Count", "2");
      kStore.PutString("APP0", gRecorder + " first");
          run = Start(SW_SHOWNORMAL, true);
      shown = ErrorBox() != nullptr;
    } else {
      PrepareTwoLines();
      run = Start(s.show);
      shown = run.started && s.open(run);
    }
    // Whatever the opening posted has been handled.
    if (HWND window = run.main ? run.main : ErrorBox()) RoundTrip(window);
    const ULONGLONG t0 = GetTickCount64();
    const ToolResult tool = RunTool("wineboot.exe -e");
    const bool ended = WaitForSingleObject(run.process.hProcess, 10000) == WAIT_OBJECT_0;
    const ULONGLONG endedMs = GetTickCount64() - t0;
    // With a bad Count the line it counted is kept and counted again; the option,
    // never read, is not written.
    bool saved;
    if (!s.open) {
      const std::optional<Stored> count = Get("Count");
      const std::optional<Stored> app0 = Get("APP0");
      saved = count && count->type == REG_DWORD && count->data == std::string("\x01\0\0\0", 4) && app0 &&
              CutAtNul(app0->data) == gRecorder + " first" && !Get("MinimizeWhenStart");
    } else {
      saved = SavedAsExpected();
    }
    const DWORD code = ended ? ExitCode(run) : 259;
    const bool ok = shown && tool.code == 0 && tool.ms < kHangMs && ended && code == 0 && saved;
    Line(std::string("| ") + s.name + " | " + (shown ? "yes" : "no") + " | " + Secs(tool.ms) + " | " +
         (ended ? Secs(endedMs) : "did not end") + " | " + std::to_string(code) + " | " +
         (!s.open ? (saved ? "line kept, Count 1, option not written" : "**not as required**") : (saved ? "yes" : "**no**")) +
         " | " + Verdict(ok) + " |");
    fflush(gOut);
    Finish(run);
  }
  Line("");
}

// --- 3. Resume storms ---------------------------------------------------------------------

void PrepareResumeList() {
  ResetKey();
  kStore.PutDword("Count", 3);
  kStore.PutString("APP0", "\"" + gRecorder + "\" one");
  kStore.PutString("APP1", "\"" + gFolder + "\\missing.exe\" skipped");
  kStore.PutString("APP2", "\"" + gRecorder + "\" two");
  kStore.PutDword("MinimizeWhenStart", 0);
}

void ResumeStorm() {
  Line("## Resume notifications");
  Line("");
  Line("The list holds three lines: two that start a recording task (it leaves one file per start) and one");
  Line("whose file is missing. Each `WM_POWERBROADCAST` with code 7 must start both tasks once: 2 starts per");
  Line("notification. Verdict `ok` = every start counted, the handler answered each notification, the");
  Line("program still runs, its list is unchanged, and it ends normally with the list saved unchanged.");
  Line("");
  Line("Handler s: for sent notifications, the time until the program had answered all of them; for");
  Line("posted ones, the time to post them (the starts show that every pass ran).");
  Line("");
  Line("| Case | Notifications | Starts expected | Starts counted | Handler s (all) | List unchanged | Verdict |");
  Line("|---|---|---|---|---|---|---|");

  struct StormCase {
    std::string name;
    int notifications;
    bool posted;
    std::function<bool(Run&)> open;
  };
  std::vector<StormCase> cases = {
      {"100 in a row, sent", 100, false, nullptr},
      {"100 in a row, posted", 100, true, nullptr},
      {"in the notification area", 1, false, nullptr},
  };
  for (const Situation& s : Situations()) {
    if (!s.open || std::string(s.name).rfind("idle", 0) == 0 || std::string(s.name).rfind("in the", 0) == 0) continue;
    cases.push_back({s.name, 1, false, s.open});
  }
  for (const StormCase& c : cases) {
    PrepareResumeList();
    ClearStarted();
    Run run = Start(c.name == "in the notification area" ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    const std::vector<std::string> before = run.lines;
    bool shown = run.started;
    if (shown && c.open) shown = c.open(run);
    const ULONGLONG t0 = GetTickCount64();
    bool answered = true;
    for (int i = 0; i < c.notifications && shown; ++i) {
      if (c.posted) {
        answered = PostMessageA(run.main, WM_POWERBROADCAST, 7, 0) && answered;
      } else {
        DWORD_PTR result = 1;
        answered = SendMessageTimeoutA(run.main, WM_POWERBROADCAST, 7, 0, SMTO_NORMAL, 10000, &result) && result == 0 &&
                   answered;
      }
    }
    if (c.posted) {  // a round trip: the program answers (sent messages overtake the posted ones)
      DWORD_PTR result = 0;
      answered = SendMessageTimeoutA(run.main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result) && answered;
    }
    const ULONGLONG handlerMs = GetTickCount64() - t0;
    const int expected = 2 * c.notifications;
    const int counted = WaitStarted(expected, 120000);
    const bool alive = Alive(run);
    // Close whatever is open, then read the list and end normally.
    for (int i = 0; i < 4; ++i) {
      HWND w = nullptr;
      if ((w = Visible("#32770", "ファイルを開く"))) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      else if ((w = Visible("TMessageForm", nullptr))) Click(w, "いいえ(&N)"), Click(w, "OK");
      else if ((w = Visible("T_InputTaskForm", nullptr))) Click(w, "キャンセル(&C)");
      else if ((w = Visible("T_HLVGUICommonAboutForm", nullptr))) Click(w, "閉じる(&C)");
      if (!w) break;
      WaitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); }, 5000);
    }
    const std::vector<std::string> after = alive ? ListLines(run.main) : std::vector<std::string>{};
    std::optional<ULONGLONG> exitMs;
    if (alive) {
      ShowWindow(run.main, SW_SHOWNORMAL);
      exitMs = CloseNormally(run);
    }
    const bool unchanged = alive && after == before && before.size() == 3;
    const std::optional<Stored> app2 = Get("APP2");
    const bool saved = exitMs && app2 && CutAtNul(app2->data) == "\"" + gRecorder + "\" two";
    const bool ok = shown && answered && counted == expected && unchanged && saved;
    Line("| " + c.name + " | " + std::to_string(c.notifications) + " | " + std::to_string(expected) + " | " +
         std::to_string(counted) + " | " + Secs(handlerMs) + " | " + (unchanged ? "yes" : "**no**") + " | " +
         Verdict(ok) + " |");
    fflush(gOut);
    Finish(run);
  }
  Line("");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s OUTPUT.md [bad-data|counts|session|resume]…\n", argv[0]);
    return 2;
  }
  gOut = fopen(argv[1], "wb");
  if (!gOut) return 2;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  gFolder = std::string(temp) + "velquin reliability";
  CreateDirectoryA(gFolder.c_str(), nullptr);
  gRecorder = gFolder + "\\recorder.exe";
  gRecords = gFolder + "\\records";
  CreateDirectoryA(gRecords.c_str(), nullptr);
  if (!CopyFileA(WindowsPath(VELQUIN_RECORDER).c_str(), gRecorder.c_str(), FALSE)) {
    fprintf(stderr, "cannot copy the recorder\n");
    return 2;
  }
  SetEnvironmentVariableA("VELQUIN_RECORDS", gRecords.c_str());

  std::vector<std::string> parts(argv + 2, argv + argc);
  if (parts.empty()) parts = {"bad-data", "counts", "session", "resume"};
  for (const std::string& part : parts) {
    if (part == "bad-data") BadDataMatrix();
    if (part == "counts") CountMatrix();
    if (part == "session") SessionEnd();
    if (part == "resume") ResumeStorm();
  }
  ResetKey();
  fprintf(gOut, "<!-- failures: %d -->\n", gFailures);
  fclose(gOut);
  printf("%d failure(s)\n", gFailures);
  return gFailures == 0 ? 0 : 1;
}

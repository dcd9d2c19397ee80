// The installer a Windows user downloads, run silently in this test's Wine prefix:
// what it puts in place (as its winget manifest says), Velquin started from its
// Startup shortcut, upgrades over that running Velquin, into another folder and with
// a shortcut left out, an install that cannot write a file, and uninstalls that keep
// or delete the task list and return once everything is gone. Wine runs every
// program elevated for the one user whose shell it is: the refusals of SYSTEM and of
// another account cannot be shown here.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/OtherProcess.h"
#include "tests/support/RegistryValues.h"

namespace {

using velquin::test::RunToEnd;
using velquin::test::TestKey;
using velquin::test::WaitFor;
using velquin::test::WindowsPath;

const char kListKey[] = "SOFTWARE\\HALVERN\\Velquin";
const char kMakerKey[] = "SOFTWARE\\HALVERN";
const char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velquin";
const char kLinkName[] = "\\ヴェルキン.lnk";
const UINT kTrayIconMessage = WM_USER + 100;
const char* const kInstalledFiles[] = {"Velquin.exe", "readme.txt", "LICENSE.txt", "uninst.exe", "uninst-core.exe"};
// A silent install or uninstall takes a few seconds; the margin is for a loaded machine.
const DWORD kSetupMs = 120000;
const DWORD kStartMs = 30000;

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}
std::string DefaultFolder() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Velquin"; }
std::string StartMenuLink() { return Folder(CSIDL_PROGRAMS) + kLinkName; }
std::string StartupLink() { return Folder(CSIDL_STARTUP) + kLinkName; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// UTF-8 (as the winget manifest is written) to the code page 932 the registry reads give.
std::string Cp932(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string narrow(wide.size() * 2, '\0');
  narrow.resize(WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(),
                                    static_cast<int>(narrow.size()), nullptr, nullptr));
  return narrow;
}
// The "Key: value" lines of the winget installer manifest, by key (the last wins).
std::map<std::string, std::string> WingetValues() {
  std::map<std::string, std::string> values;
  std::istringstream lines(Contents(WindowsPath(VELQUIN_WINGET_INSTALLER)));
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find(": ");
    if (at == std::string::npos || line[0] == '#') continue;
    std::string key = line.substr(0, at);
    key.erase(0, key.find_first_not_of(" -"));
    values[key] = Cp932(line.substr(at + 2));
  }
  return values;
}

bool KeyExists(const char* key) { return TestKey(key).Exists(); }
// A string value as stored, a DWORD in decimal.
std::optional<std::string> Value(const char* key, const char* name) {
  const TestKey at(key);
  if (const std::optional<DWORD> number = at.GetDword(name)) return std::to_string(*number);
  return at.GetString(name);
}
void PutValue(const char* key, const char* name, const std::string& value) {
  ASSERT_TRUE(TestKey(key).PutString(name, value)) << name;
}
void PutList(const std::string& line) {
  const TestKey list(kListKey);
  ASSERT_TRUE(list.PutDword("Count", 1));
  ASSERT_TRUE(list.PutString("APP0", line));
}

// What tools/VelquinShortcut prints for a shortcut, by name.
std::map<std::string, std::string> ReadShortcut(const std::string& link) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  std::map<std::string, std::string> fields;
  if (!CreatePipe(&read, &write, &inherit, 0)) return fields;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + WindowsPath(VELQUIN_SHORTCUT_TOOL) + "\" \"" + link + "\"";
  const bool started =
      CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
  CloseHandle(write);
  std::string output;
  if (started) {
    char buffer[1024];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    WaitForSingleObject(info.hProcess, kStartMs);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  CloseHandle(read);
  std::istringstream lines(output);
  for (std::string field; std::getline(lines, field);) {
    if (!field.empty() && field.back() == '\r') field.pop_back();
    if (const size_t at = field.find('='); at != std::string::npos) fields[field.substr(0, at)] = field.substr(at + 1);
  }
  return fields;
}

// Opens a shortcut as the shell does at log-on: its target, in its working
// directory, with its show command. Wine's shell starts a shortcut's target with
// the caller's show state instead of the one the shortcut holds, so the target is
// opened through the shell with the values read back from the shortcut.
bool OpenShortcut(const std::string& link) {
  std::map<std::string, std::string> fields = ReadShortcut(link);
  SHELLEXECUTEINFOA open{};
  open.cbSize = sizeof open;
  open.lpVerb = "open";
  open.lpFile = fields["target"].c_str();
  open.lpDirectory = fields["directory"].c_str();
  open.nShow = std::atoi(fields["show"].c_str());
  return !fields["target"].empty() && ShellExecuteExA(&open);
}

// A Velquin started from `exe`: its process and its two top-level windows.
struct Running {
  DWORD pid = 0;
  HWND main = nullptr;
  HWND app = nullptr;
};
// A top-level window as the searches below see it.
struct TopWindow {
  HWND window;
  std::string className;
  DWORD pid;
};
using TopWindowVisit = std::function<bool(const TopWindow&)>;  // false: stop
BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return (*reinterpret_cast<const TopWindowVisit*>(param))({window, cls, pid});
}
void ForEachTopWindow(const TopWindowVisit& visit) {
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&visit));
}

std::string ImageOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (process) {
    if (!QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
    CloseHandle(process);
  }
  return path;
}
std::optional<Running> FindVelquin(const std::string& exe, DWORD otherThan = 0) {
  Running found;
  ForEachTopWindow([&](const TopWindow& top) {
    const bool main = top.className == "T_MainForm", app = top.className == "TApplication";
    if ((!main && !app) || top.pid == otherThan || (found.pid && top.pid != found.pid)) return true;
    if (!found.pid && _stricmp(ImageOf(top.pid).c_str(), exe.c_str()) != 0) return true;
    found.pid = top.pid;
    (main ? found.main : found.app) = top.window;
    return true;
  });
  if (!found.main || !found.app) return std::nullopt;
  return found;
}
// Until it waits for input with nothing left to do (past its start, or a command).
void WaitForIdle(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) return;
  WaitForInputIdle(process, kStartMs);
  CloseHandle(process);
}
std::optional<Running> WaitForVelquin(const std::string& exe, DWORD otherThan = 0) {
  std::optional<Running> found;
  if (WaitFor([&] { return (found = FindVelquin(exe, otherThan)).has_value(); }, kStartMs)) WaitForIdle(found->pid);
  return found;
}

// The shell answers NIM_MODIFY with success only for an icon it holds; with no
// flags set nothing of the icon changes. Waits a while for the icon to come.
bool InTray(HWND main) {
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = main;
  icon.uID = 1;
  return WaitFor([&] { return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE; }, kStartMs, 100);
}

HWND VisibleWindowOf(DWORD pid, const char* className) {
  HWND found = nullptr;
  ForEachTopWindow([&](const TopWindow& top) {
    if (top.pid != pid || top.className != className || !IsWindowVisible(top.window)) return true;
    found = top.window;
    return false;
  });
  return found;
}
bool Click(HWND parent, const char* caption) {
  HWND button = FindWindowExA(parent, nullptr, "Button", caption);
  return button && PostMessageA(button, BM_CLICK, 0, 0);
}

// Through the window: back from the tray, "タスクを追加(&A)", the line typed into the
// input dialog, OK, and into the tray again.
void AddTaskThroughTheWindow(const Running& velquin, const std::string& line) {
  PostMessageA(velquin.main, kTrayIconMessage, 1, WM_LBUTTONDOWN);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(velquin.main); }, kStartMs));
  WaitForIdle(velquin.pid);
  ASSERT_TRUE(Click(velquin.main, "タスクを追加(&A)"));
  HWND input = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (input = VisibleWindowOf(velquin.pid, "T_InputTaskForm")) != nullptr; }, kStartMs));
  SendMessageA(FindWindowExA(input, nullptr, "Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
  HWND ok = FindWindowExA(input, nullptr, "Button", "OK(&O)");
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(ok); }, kStartMs));
  PostMessageA(ok, BM_CLICK, 0, 0);
  HWND list = FindWindowExA(velquin.main, nullptr, "ListBox", nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }, kStartMs));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(input) || !IsWindowVisible(input); }, kStartMs));
  ASSERT_TRUE(Click(velquin.main, "最小化(タスクトレイに表示)(&T)"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(velquin.main) && InTray(velquin.main); }, kStartMs));
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    task_ = std::string(temp) + "velquin installer task.txt";
    std::ofstream(task_) << "a task\n";
  }
  void TearDown() override {
    EndLeftVelquins();
    Clean();
    DeleteFileA(task_.c_str());
  }
  static void EndLeftVelquins() {
    for (const std::string& folder : {DefaultFolder(), OtherFolder()}) {
      while (std::optional<Running> left = FindVelquin(folder + "\\Velquin.exe")) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, left->pid);
        if (!process) break;
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
      }
    }
  }
  static std::string OtherFolder() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Velquin test folder"; }
  static void Clean() {
    for (const std::string& folder : {DefaultFolder(), OtherFolder()}) {
      for (const char* name : kInstalledFiles) {
        DeleteFileA((folder + "\\" + name).c_str());
      }
      RemoveDirectoryA(folder.c_str());
    }
    DeleteFileA(StartMenuLink().c_str());
    DeleteFileA(StartupLink().c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kEntryKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kEntryKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
  }

  static int Setup(const std::string& switches) {
    return RunToEnd("\"" + WindowsPath(VELQUIN_SETUP) + "\" " + switches, kSetupMs);
  }
  // The uninstaller returns once it has finished: whatever it left is left.
  static int Uninstall(const std::string& folder, const std::string& switches) {
    return RunToEnd("\"" + folder + "\\uninst.exe\" " + switches, kSetupMs);
  }
  static int UninstallAsRegistered() {
    return RunToEnd(Value(kEntryKey, "QuietUninstallString").value_or("\"no QuietUninstallString\""), kSetupMs);
  }
  static void ExpectShortcuts(bool startMenu, bool startup) {
    EXPECT_EQ(Exists(StartMenuLink()), startMenu);
    EXPECT_EQ(Exists(StartupLink()), startup);
    EXPECT_EQ(Value(kEntryKey, "StartMenuShortcut"), startMenu ? "1" : "0");
    EXPECT_EQ(Value(kEntryKey, "StartupShortcut"), startup ? "1" : "0");
  }

  std::string task_;
};

TEST_F(InstallerTest, ASilentInstallPutsTheProgramTheShortcutsAndTheEntryInPlace) {
  ASSERT_EQ(Setup("/S"), 0);
  const std::string folder = DefaultFolder(), exe = folder + "\\Velquin.exe";

  EXPECT_TRUE(Contents(exe) == Contents(WindowsPath(VELQUIN_EXE))) << exe << " is not the built program";
  for (const char* name : kInstalledFiles) EXPECT_TRUE(Exists(folder + "\\" + name)) << name;

  const struct {
    std::string link, show;
  } links[] = {{StartMenuLink(), "1"}, {StartupLink(), "7"}};
  for (const auto& link : links) {
    std::map<std::string, std::string> fields = ReadShortcut(link.link);
    EXPECT_EQ(fields["target"], exe) << link.link;
    EXPECT_EQ(fields["directory"], folder) << link.link;
    EXPECT_EQ(fields["arguments"], "") << link.link;
    EXPECT_EQ(fields["show"], link.show) << link.link;
  }

  const struct {
    const char* name;
    std::string value;
  } entry[] = {
      {"DisplayName", "ヴェルキン"},
      {"DisplayVersion", VELQUIN_VERSION},
      {"Publisher", "HALVERN"},
      {"DisplayIcon", exe},
      {"InstallLocation", folder},
      {"UninstallString", "\"" + folder + "\\uninst.exe\""},
      {"QuietUninstallString", "\"" + folder + "\\uninst.exe\" /S"},
      {"NoModify", "1"},
      {"NoRepair", "1"},
      {"StartMenuShortcut", "1"},
      {"StartupShortcut", "1"},
  };
  for (const auto& value : entry) EXPECT_EQ(Value(kEntryKey, value.name), value.value) << value.name;
  // In KiB: at least the program itself.
  const int size = std::stoi(Value(kEntryKey, "EstimatedSize").value_or("0"));
  const int exeKib = static_cast<int>(Contents(exe).size() / 1024);
  EXPECT_GE(size, exeKib);
  EXPECT_LE(size, exeKib + 4096);  // and the uninstaller

  EXPECT_FALSE(KeyExists(kListKey));  // the installer leaves the task list to the program

  // What the winget manifest says of the installer and of the entry it writes.
  std::map<std::string, std::string> winget = WingetValues();
  EXPECT_EQ(winget["Silent"], "/S");
  EXPECT_EQ(winget["Scope"], "user");
  EXPECT_EQ(winget["PackageVersion"], VELQUIN_VERSION);
  for (const char* name : {"DisplayName", "Publisher", "DisplayVersion"}) {
    EXPECT_EQ(Value(kEntryKey, name), winget[name]) << name;
  }
  EXPECT_EQ(std::string(kEntryKey).substr(std::string(kEntryKey).rfind('\\') + 1), winget["ProductCode"]);
}

TEST_F(InstallerTest, AChosenFolderIsUsedAndTheNextInstallGoesThereToo) {
  const std::string folder = OtherFolder(), exe = folder + "\\Velquin.exe";
  ASSERT_EQ(Setup("/S /D=" + folder), 0);
  EXPECT_TRUE(Exists(exe));
  EXPECT_EQ(Value(kEntryKey, "InstallLocation"), folder);
  EXPECT_EQ(ReadShortcut(StartupLink())["target"], exe);

  DeleteFileA(exe.c_str());
  ASSERT_EQ(Setup("/S"), 0);
  EXPECT_TRUE(Exists(exe));
  EXPECT_FALSE(Exists(DefaultFolder()));

  // The same folder by its short name is no other folder: nothing is removed.
  char shortName[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameA(folder.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_EQ(Setup(std::string("/S /D=") + shortName), 0);
  for (const char* name : kInstalledFiles) EXPECT_TRUE(Exists(folder + "\\" + name)) << name << " of " << shortName;
}

TEST_F(InstallerTest, TheStartupShortcutStartsVelquinInTheTrayAndAnUpgradeRestartsItWithItsListSaved) {
  ASSERT_EQ(Setup("/S"), 0);
  const std::string exe = DefaultFolder() + "\\Velquin.exe";
  ASSERT_TRUE(OpenShortcut(StartupLink()));
  std::optional<Running> old = WaitForVelquin(exe);
  ASSERT_TRUE(old);
  EXPECT_FALSE(IsWindowVisible(old->main));
  EXPECT_FALSE(IsWindowVisible(old->app));  // no taskbar button
  EXPECT_TRUE(InTray(old->main));

  const std::string line = "\"" + task_ + "\" --from-the-window";
  AddTaskThroughTheWindow(*old, line);
  if (HasFatalFailure()) return;
  // Stored as it was made; taken away behind Velquin's back, so that only the save
  // as Velquin ends can bring it back.
  EXPECT_EQ(Value(kListKey, "APP0"), line);
  TestKey(kListKey).DeleteTree();
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, old->pid);
  ASSERT_NE(process, nullptr);

  ASSERT_EQ(Setup("/S"), 0);
  // Ended by the installer, orderly: the list saved, no question left open.
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(Value(kListKey, "Count"), "1");
  EXPECT_EQ(Value(kListKey, "APP0"), line);

  std::optional<Running> now = WaitForVelquin(exe, old->pid);
  ASSERT_TRUE(now);
  EXPECT_FALSE(IsWindowVisible(now->main));
  EXPECT_FALSE(IsWindowVisible(now->app));
  EXPECT_TRUE(InTray(now->main));
  HWND list = FindWindowExA(now->main, nullptr, "ListBox", nullptr);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
}

TEST_F(InstallerTest, UninstallingEndsVelquinAndKeepsTheListUnlessAskedToDeleteIt) {
  const std::string folder = DefaultFolder(), exe = folder + "\\Velquin.exe";
  const std::string line = "\"" + task_ + "\" kept";
  PutList(line);
  ASSERT_EQ(Setup("/S"), 0);
  ASSERT_TRUE(OpenShortcut(StartupLink()));
  std::optional<Running> velquin = WaitForVelquin(exe);
  ASSERT_TRUE(velquin);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, velquin->pid);
  ASSERT_NE(process, nullptr);

  // As the installed-programs list holds it; on its return everything is gone.
  ASSERT_EQ(UninstallAsRegistered(), 0);
  EXPECT_FALSE(KeyExists(kEntryKey));
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(Exists(folder));
  EXPECT_FALSE(Exists(StartMenuLink()));
  EXPECT_FALSE(Exists(StartupLink()));
  EXPECT_EQ(Value(kListKey, "Count"), "1");
  EXPECT_EQ(Value(kListKey, "APP0"), line);
  EXPECT_EQ(Value(kListKey, "MinimizeWhenStart"), "0");

  ASSERT_EQ(Setup("/S"), 0);
  ASSERT_EQ(Uninstall(folder, "/S /DELETELIST"), 0);
  EXPECT_FALSE(Exists(folder));
  EXPECT_FALSE(KeyExists(kEntryKey));
  EXPECT_FALSE(KeyExists(kListKey));
  EXPECT_FALSE(KeyExists(kMakerKey));  // nothing else was in it
}

TEST_F(InstallerTest, AnUpgradeIntoAnotherFolderEndsAndRemovesTheOldCopy) {
  ASSERT_EQ(Setup("/S"), 0);
  const std::string oldExe = DefaultFolder() + "\\Velquin.exe", newExe = OtherFolder() + "\\Velquin.exe";
  ASSERT_TRUE(OpenShortcut(StartupLink()));
  std::optional<Running> old = WaitForVelquin(oldExe);
  ASSERT_TRUE(old);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, old->pid);
  ASSERT_NE(process, nullptr);

  ASSERT_EQ(Setup("/S /D=" + OtherFolder()), 0);
  EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
  CloseHandle(process);
  EXPECT_FALSE(Exists(DefaultFolder()));  // one copy: the new one
  for (const char* name : kInstalledFiles) EXPECT_TRUE(Exists(OtherFolder() + "\\" + name)) << name;
  EXPECT_EQ(Value(kEntryKey, "InstallLocation"), OtherFolder());
  EXPECT_EQ(ReadShortcut(StartupLink())["target"], newExe);
  EXPECT_EQ(ReadShortcut(StartMenuLink())["target"], newExe);
  EXPECT_TRUE(WaitForVelquin(newExe, old->pid));  // started again, from the new folder
}

TEST_F(InstallerTest, AShortcutLeftOutStaysOutOnTheNextPlainSilentUpgrade) {
  const struct {
    const char* switches;
    bool startMenu, startup;
  } cases[] = {
      {"/S /NOSTARTUP", true, false},
      {"/S /NOSTARTMENU", false, true},
      {"/S /NOSTARTMENU /NOSTARTUP", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.switches);
    Clean();
    ASSERT_EQ(Setup(c.switches), 0);
    ExpectShortcuts(c.startMenu, c.startup);
    ASSERT_EQ(Setup("/S"), 0);
    ExpectShortcuts(c.startMenu, c.startup);
  }
}

// Another program holds a file of the install folder open for reading only: the
// install stops with 3, the folder holds the old files again, the entry still shows
// the old version, and a Velquin it had ended runs again.
TEST_F(InstallerTest, AFileThatCannotBeWrittenStopsTheInstallAndPutsTheOldVersionBack) {
  const struct {
    const char* locked;
    bool running;  // Velquin runs from the folder when the upgrade starts
  } cases[] = {
      {"Velquin.exe", false},
      {"LICENSE.txt", false},  // written after Velquin.exe, which goes back
      {"readme.txt", true},
  };
  const std::string folder = DefaultFolder(), exe = folder + "\\Velquin.exe";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locked);
    EndLeftVelquins();
    Clean();
    ASSERT_EQ(Setup("/S"), 0);
    std::map<std::string, std::string> old;
    for (const char* name : kInstalledFiles) {
      if (c.running && std::string(name) == "Velquin.exe") {
        old[name] = Contents(exe);
        continue;
      }
      old[name] = std::string("an older ") + name;
      std::ofstream(folder + "\\" + name, std::ios::binary) << old[name];
      ASSERT_EQ(Contents(folder + "\\" + name), old[name]);
    }
    PutValue(kEntryKey, "DisplayVersion", "1.0");
    std::optional<Running> velquin;
    HANDLE process = nullptr;
    if (c.running) {
      ASSERT_TRUE(OpenShortcut(StartupLink()));
      ASSERT_TRUE(velquin = WaitForVelquin(exe));
      process = OpenProcess(SYNCHRONIZE, FALSE, velquin->pid);
    }
    HANDLE lock = CreateFileA((folder + "\\" + c.locked).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    EXPECT_EQ(Setup("/S"), 3);
    CloseHandle(lock);
    EXPECT_EQ(Value(kEntryKey, "DisplayVersion"), "1.0");
    for (const auto& [name, contents] : old) {
      const std::string now = Contents(folder + "\\" + name);
      EXPECT_TRUE(now == contents) << name << " holds " << now.size() << " bytes: " << now.substr(0, 40);
    }
    if (c.running) {
      EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);  // ended for the upgrade…
      CloseHandle(process);
      EXPECT_TRUE(WaitForVelquin(exe, velquin->pid));  // …and started again
    }
  }
}

}  // namespace

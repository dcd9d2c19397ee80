#pragma once
// The main window in-process, over a private registry key, real task files in a
// private folder, a shell that records, a notification area in memory whose shell
// can be busy or absent, and a power platform of any kind of machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Velquin_MainForm.h"
#include "core/fakes/FakePowerPlatform.h"
#include "core/fakes/FakeRegistry.h"
#include "core/fakes/RecordingShell.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32NotifyIcon.h"
#include "platform/Win32Registry.h"
#include "tests/program/TestSupport.h"
#include "tests/support/RegistryValues.h"
#include "toolkit/Forms.h"

namespace velquin::test {

// Every key the program opens, moved under a private test key.
class PrivateRegistry : public Registry {
 public:
  static constexpr const char* kRoot = "Software\\VelquinProgramTests";
  std::unique_ptr<RegistryKey> CreateKey(std::string_view path) override {
    return inner_.CreateKey(std::string(kRoot) + "\\" + std::string(path));
  }
  static std::string StorePath();  // where the task store's key lands
  static void DeleteAll();

 private:
  Win32Registry inner_;
};

// The store's values as the test reads and writes them: texts in code page 932
// through the wide functions, so that the process code page changes nothing.
void PutDword(const char* name, DWORD value);
void PutString(const char* name, const std::string& text);
std::optional<DWORD> GetDword(const char* name);
std::optional<std::string> GetString(const char* name);  // nothing when not code page 932 text
// A value's type and bytes, written and read as they are.
using RawValue = StoredValue;
void PutRaw(const char* name, const RawValue& value);
std::optional<RawValue> GetRaw(const char* name);

struct NotifyCall {
  DWORD message;
  NotifyIconDataV1 data;
};

// The notification area in memory: the icons it holds and how the shell answers.
// Records every call. Like the shell, it refuses a record whose size is not that of
// the first wide layout, or whose tip has no NUL within its 64 units.
class RecordingNotifyIcon : public NotifyIcon {
 public:
  enum class Shell {
    Ready,   // does what it is asked and says so
    Busy,    // adds the icon but reports failure (the call timed out); answers the rest
    Absent,  // no notification area yet: does nothing, every call fails
  };
  bool Notify(DWORD message, const NotifyIconDataV1& data) override;
  // The shell restarted: its notification area is new and empty.
  void Restart() { icons.clear(); }
  bool Has(HWND window, UINT id) const;
  std::vector<DWORD> Messages() const;

  std::vector<NotifyCall> calls;
  Shell shell = Shell::Ready;
  std::vector<NotifyIconDataV1> icons;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window as the entry does; `show` as the entry would pass it
  // (std::nullopt: not shown).
  T_MainForm* Start(std::optional<int> show = SW_SHOWNORMAL);
  // Ends as at exit: the exit procedure destroys the main window (saving).
  void Finish();
  // After Finish: a new application object, for the next Start.
  void NewApplication();

  // A file in the private folder, created with the folders its name holds; returns
  // its full path.
  std::string MakeFile(const std::string& name);
  std::string Folder() const { return folder_; }
  // The lines of the task list.
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);  // stored before Start

  bool AppWindowVisible() const { return IsWindowVisible(app_->Handle()) != 0; }
  bool Topmost() const { return (GetWindowLongA(form_->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  std::unique_ptr<TApplication> app_;
  PrivateRegistry registry_;
  Registry* registryPort_ = &registry_;  // what Start gives the main window
  Win32FileSystem fileSystem_;
  RecordingShell shell_;
  RecordingNotifyIcon notifyIcon_;
  FakePowerPlatform power_;                  // a classic machine unless a test says otherwise
  PowerPlatform* powerPlatform_ = &power_;   // what Start gives the main window
  T_MainForm* form_ = nullptr;
  std::vector<std::string> reports_;
  int halts_ = 0;

 private:
  std::string folder_;
  std::string savedDirectory_;
};

}  // namespace velquin::test

#include "tests/program/ProgramFixture.h"

#include <algorithm>

#include "core/tasks/TaskStore.h"
#include "tests/support/RegistryValues.h"

namespace velquin::test {

std::string PrivateRegistry::StorePath() { return std::string(kRoot) + "\\" + std::string(kTaskStoreKeyPath); }

void PrivateRegistry::DeleteAll() { TestKey(kRoot).DeleteTree(); }

namespace {
TestKey Store() { return TestKey(PrivateRegistry::StorePath()); }
}  // namespace

void PutDword(const char* name, DWORD value) { Store().PutDword(name, value); }
void PutString(const char* name, const std::string& text) { Store().PutString(name, text); }
std::optional<DWORD> GetDword(const char* name) { return Store().GetDword(name); }
std::optional<std::string> GetString(const char* name) { return Store().GetString(name); }

bool RecordingNotifyIcon::Notify(DWORD message, const NotifyIconDataV1& data) {
  calls.push_back({message, data});
  if (shell == Shell::Absent) return false;
  auto icon = std::find_if(icons.begin(), icons.end(),
                           [&](const NotifyIconDataV1& i) { return i.hWnd == data.hWnd && i.uID == data.uID; });
  bool done = false;
  switch (message) {
    case NIM_ADD:
      done = icon == icons.end();
      if (done) icons.push_back(data);
      break;
    case NIM_MODIFY:
      done = icon != icons.end();
      if (done) *icon = data;
      break;
    case NIM_DELETE:
      done = icon != icons.end();
      if (done) icons.erase(icon);
      break;
  }
  return done && !(shell == Shell::Busy && message == NIM_ADD);
}

bool RecordingNotifyIcon::Has(HWND window, UINT id) const {
  return std::any_of(icons.begin(), icons.end(), [&](const auto& i) { return i.hWnd == window && i.uID == id; });
}

std::vector<DWORD> RecordingNotifyIcon::Messages() const {
  std::vector<DWORD> list;
  for (const auto& c : calls) list.push_back(c.message);
  return list;
}

void ProgramTest::SetUp() {
  notifyIcon_ = RecordingNotifyIcon{};
  reports_.clear();
  halts_ = 0;
  PrivateRegistry::DeleteAll();
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  folder_ = std::string(temp) + "velquin-program-tests";
  CreateDirectoryA(folder_.c_str(), nullptr);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  savedDirectory_ = current;
  app_ = std::make_unique<TApplication>();
  app_->SetTitle("ヴェルキン");
  app_->OnException = [this](const std::string& m) { reports_.push_back(m); };
  app_->HaltProc = [this] { ++halts_; };
}

void ProgramTest::TearDown() {
  app_.reset();
  form_ = nullptr;
  SetCurrentDirectoryA(savedDirectory_.c_str());
  PrivateRegistry::DeleteAll();
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder_ + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder_.c_str());
}

T_MainForm* ProgramTest::Start(std::optional<int> show) {
  form_ = app_->CreateForm<T_MainForm>(MainFormPorts{registry_, fileSystem_, shell_, notifyIcon_, powerPlatform_});
  if (show) app_->ShowMainForm(*show);
  Pump(50);
  return form_;
}

void ProgramTest::Finish() {
  app_->DoneApplication();
  form_ = nullptr;
}

std::string ProgramTest::MakeFile(const std::string& name) {
  const std::string path = folder_ + "\\" + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return path;
}

std::vector<std::string> ProgramTest::Lines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < form_->lbxTaskList->Count(); ++i) lines.push_back(form_->lbxTaskList->Item(i));
  return lines;
}

void ProgramTest::SetLines(const std::vector<std::string>& lines) {
  PutDword("Count", static_cast<DWORD>(lines.size()));
  for (size_t i = 0; i < lines.size(); ++i) PutString(("APP" + std::to_string(i)).c_str(), lines[i]);
}

}  // namespace velquin::test

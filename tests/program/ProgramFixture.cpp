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
void PutRaw(const char* name, const RawValue& value) { Store().Put(name, value.type, value.data); }
std::optional<RawValue> GetRaw(const char* name) { return Store().Get(name); }

bool RecordingNotifyIcon::Notify(DWORD message, const NotifyIconDataV1& data) {
  calls.push_back({message, data});
  if (shell == Shell::Absent) return false;
  if (data.cbSize != NOTIFYICONDATAW_V1_SIZE) return false;
  if (std::find(std::begin(data.szTip), std::end(data.szTip), L'\0') == std::end(data.szTip)) return false;
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
  registryPort_ = &registry_;
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
  NewApplication();
}

void ProgramTest::NewApplication() {
  app_.reset();
  app_ = std::make_unique<TApplication>();
  app_->SetTitle("ヴェルキン");
  app_->OnException = [this](const std::string& m) { reports_.push_back(m); };
  app_->HaltProc = [this] { ++halts_; };
}

namespace {
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + L"\\" + name);
      } else {
        DeleteFileW((folder + L"\\" + name).c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}
}  // namespace

void ProgramTest::TearDown() {
  app_.reset();
  form_ = nullptr;
  SetCurrentDirectoryA(savedDirectory_.c_str());
  PrivateRegistry::DeleteAll();
  RemoveTree(WideFromCp932(folder_));
}

T_MainForm* ProgramTest::Start(std::optional<int> show) {
  form_ = app_->CreateForm<T_MainForm>(MainFormPorts{*registryPort_, fileSystem_, shell_, notifyIcon_, powerPlatform_});
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
  // Folders in `name` are made first; split in UTF-16, where no trail byte is a backslash.
  const std::wstring wide = WideFromCp932(path);
  for (size_t at = wide.find(L'\\', WideFromCp932(folder_).size() + 1); at != std::wstring::npos; at = wide.find(L'\\', at + 1)) {
    CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
  }
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

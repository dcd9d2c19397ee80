// uninst.exe in Velquin's install folder. It runs the uninstaller proper
// (uninst-core.exe beside it) and returns its exit code once that has finished, so
// that whoever started it (the installed-programs list, a deployment tool, a script)
// sees the result with the folder already gone.
//
// No running program can remove the file it runs from. So the uninstaller proper
// runs from a copy in the temporary folder, and this program moves its own file out
// of the folder before it starts that copy (a running program's file may be renamed,
// not deleted); it moves it back when the uninstall did not finish. The copies left
// in the temporary folder are removed by the next install or uninstall.
#include <windows.h>

#include <string>

namespace {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length > 0 && length <= MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// The command line's arguments, without the program's own name.
std::wstring Arguments() {
  const wchar_t* line = GetCommandLineW();
  bool quoted = false;
  for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line) {
    if (*line == L'"') quoted = !quoted;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

bool Silent(const std::wstring& arguments) {
  return arguments == L"/S" || arguments.rfind(L"/S ", 0) == 0 || arguments.find(L" /S ") != std::wstring::npos ||
         (arguments.size() >= 3 && arguments.compare(arguments.size() - 3, 3, L" /S") == 0);
}

// The exit code of the uninstaller proper for a failure to write or remove a file.
constexpr DWORD kWriteFailed = 3;

int Fail(const std::wstring& arguments, const wchar_t* what) {
  if (!Silent(arguments)) MessageBoxW(nullptr, what, L"\u30F4\u30A7\u30EB\u30AD\u30F3", MB_OK | MB_ICONSTOP);
  return static_cast<int>(kWriteFailed);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring arguments = Arguments();
  const std::wstring self = ModulePath();
  const size_t slash = self.find_last_of(L'\\');
  const std::wstring temp = TempFolder();
  if (slash == std::wstring::npos || temp.empty()) return Fail(arguments, L"uninst.exe: no folder to work in.");
  const std::wstring folder = self.substr(0, slash);
  const std::wstring stem = temp + L"Velquin-uninst-" + std::to_wstring(GetCurrentProcessId());

  const std::wstring core = stem + L"-core.exe";
  if (!CopyFileW((folder + L"\\uninst-core.exe").c_str(), core.c_str(), FALSE)) {
    return Fail(arguments, L"uninst.exe: cannot copy uninst-core.exe to the temporary folder.");
  }
  // Out of the folder: into the temporary folder, or beside the folder where that
  // is on another drive. Where neither works, the uninstaller proper reports it.
  std::wstring aside = stem + L".exe";
  if (!MoveFileExW(self.c_str(), aside.c_str(), 0)) {
    aside = folder + L".Velquin-uninst-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    if (!MoveFileExW(self.c_str(), aside.c_str(), 0)) aside.clear();
  }

  // /D= names the folder; it must come last, unquoted.
  std::wstring line = L"\"" + core + L"\" " + arguments + L" /D=" + folder;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DWORD code = kWriteFailed;
  if (CreateProcessW(core.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, temp.c_str(), &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    if (!GetExitCodeProcess(process.hProcess, &code)) code = kWriteFailed;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // Not finished (cancelled, Velquin still running, a file left): back in place, for
  // another try from the installed-programs list.
  if (code != 0 && !aside.empty()) MoveFileExW(aside.c_str(), self.c_str(), 0);
  DeleteFileW(core.c_str());
  return static_cast<int>(code);
}

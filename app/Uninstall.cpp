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

namespace {

// Paths and the command line are built in buffers of this many characters; longer
// ones fail as a folder that cannot be worked in. No C++ library: this program is
// carried by every installer, and that library would make it ten times larger.
constexpr int kMax = 4 * MAX_PATH;
using Text = wchar_t[kMax];

// `to` = the texts given, in order; false when they do not fit.
bool Join(Text& to, const wchar_t* first, const wchar_t* second = L"", const wchar_t* third = L"",
          const wchar_t* fourth = L"") {
  to[0] = L'\0';
  const wchar_t* const parts[] = {first, second, third, fourth};
  for (const wchar_t* part : parts) {
    if (lstrlenW(to) + lstrlenW(part) >= kMax) return false;
    lstrcatW(to, part);
  }
  return true;
}

// The command line's arguments, without the program's own name.
const wchar_t* Arguments() {
  const wchar_t* line = GetCommandLineW();
  bool quoted = false;
  for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line) {
    if (*line == L'"') quoted = !quoted;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

// /S among the arguments, as the uninstaller proper reads it.
bool Silent(const wchar_t* arguments) {
  for (const wchar_t* at = arguments; *at; ++at) {
    const bool start = at == arguments || at[-1] == L' ';
    if (start && at[0] == L'/' && at[1] == L'S' && (at[2] == L'\0' || at[2] == L' ')) return true;
  }
  return false;
}

// The exit code of the uninstaller proper for a failure to write or remove a file.
constexpr DWORD kWriteFailed = 3;

int Fail(const wchar_t* arguments, const wchar_t* what) {
  if (!Silent(arguments)) MessageBoxW(nullptr, what, L"\u30F4\u30A7\u30EB\u30AD\u30F3", MB_OK | MB_ICONSTOP);
  return static_cast<int>(kWriteFailed);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* arguments = Arguments();
  Text self, folder, temp, stem;
  const DWORD selfLength = GetModuleFileNameW(nullptr, self, kMax);
  const DWORD tempLength = GetTempPathW(kMax, temp);
  wchar_t* slash = selfLength > 0 && selfLength < kMax ? wcsrchr(self, L'\\') : nullptr;
  wchar_t pid[16];
  wsprintfW(pid, L"%lu", GetCurrentProcessId());
  if (!slash || tempLength == 0 || tempLength >= kMax || !Join(folder, self) ||
      !Join(stem, temp, L"Velquin-uninst-", pid)) {
    return Fail(arguments, L"uninst.exe: no folder to work in.");
  }
  folder[slash - self] = L'\0';

  Text core, source;
  if (!Join(core, stem, L"-core.exe") || !Join(source, folder, L"\\uninst-core.exe") ||
      !CopyFileW(source, core, FALSE)) {
    return Fail(arguments, L"uninst.exe: cannot copy uninst-core.exe to the temporary folder.");
  }
  // Out of the folder: into the temporary folder, or beside the folder where that
  // is on another drive. Where neither works, the uninstaller proper reports it.
  Text aside;
  if (!Join(aside, stem, L".exe") || !MoveFileExW(self, aside, 0)) {
    if (!Join(aside, folder, L".Velquin-uninst-", pid, L".tmp") || !MoveFileExW(self, aside, 0)) aside[0] = L'\0';
  }

  // /D= names the folder; it must come last, unquoted.
  Text line;
  DWORD code = kWriteFailed;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (Join(line, L"\"", core, L"\" ", arguments) && lstrlenW(line) + lstrlenW(folder) + 4 < kMax) {
    lstrcatW(line, L" /D=");
    lstrcatW(line, folder);
    if (CreateProcessW(core, line, nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      if (!GetExitCodeProcess(process.hProcess, &code)) code = kWriteFailed;
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  // Not finished (cancelled, Velquin still running, a file left): back in place, for
  // another try from the installed-programs list.
  if (code != 0 && aside[0]) MoveFileExW(aside, self, 0);
  DeleteFileW(core);
  return static_cast<int>(code);
}

#pragma once
// Helpers of the tests that drive Velquin.exe as another process: the Wine path of
// a file built on the Unix side, starting it, and waiting for what it does.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <string>

namespace velquin::test {

// "/work/build/x.exe" → "Z:\work\build\x.exe" (Wine maps Z: to the Unix root).
inline std::string WindowsPath(std::string unixPath) {
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return "Z:" + unixPath;
}

// Polls `done` every `pollMs` until it holds or `timeoutMs` has passed; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 20) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    Sleep(pollMs);
  }
  return true;
}

// How many processes of the image `exeName` ("recorder.exe") are running.
inline int RunningCopies(const char* exeName) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, exeName) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// Sends a message that does nothing and waits for the answer: once it comes, the
// window's thread has handled everything sent or posted to it before.
inline bool RoundTrip(HWND window, UINT timeoutMs = 10000) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

// Starts `commandLine` with `show` as its show state (STARTUPINFO.wShowWindow).
inline bool StartProcess(const std::string& commandLine, WORD show, PROCESS_INFORMATION& info) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  std::string line = commandLine;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
}

// Runs `commandLine` to its end, at most `timeoutMs`; its exit code, or -1 when it
// did not start or did not end in time.
inline int RunToEnd(const std::string& commandLine, DWORD timeoutMs = 60000) {
  PROCESS_INFORMATION info{};
  if (!StartProcess(commandLine, SW_SHOWNORMAL, info)) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return static_cast<int>(code);
}

}  // namespace velquin::test

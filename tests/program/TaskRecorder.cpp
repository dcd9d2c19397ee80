// A task for the end-to-end test: appends one line per start to the file named by
// VELQUIN_RECORD: the time its process was created (16 hex digits, so that lines
// sort by it) and the arguments it was started with. The shell opens tasks without
// waiting, so the order the lines are written in is the tasks' race; the creation
// times are the order the shell was asked to open them in.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VELQUIN_RECORD", path, MAX_PATH)) return 1;
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 3;
  char time[17] = {};
  std::snprintf(time, sizeof time, "%08lX%08lX", created.dwHighDateTime, created.dwLowDateTime);
  const std::string line = std::string(time) + " " + arguments + "\r\n";
  for (int attempt = 0; attempt < 200; ++attempt) {  // other tasks may be writing
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return 0;
    }
    Sleep(10);
  }
  return 2;
}

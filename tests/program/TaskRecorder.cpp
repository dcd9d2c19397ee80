// A task for the end-to-end test: appends the arguments it was started with, one
// line per start, to the file named by VELQUIN_RECORD.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VELQUIN_RECORD", path, MAX_PATH)) return 1;
  const std::string line = std::string(arguments) + "\r\n";
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

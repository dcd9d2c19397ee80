// A task for the reliability runs: each start leaves one new file in the folder
// named by VELQUIN_RECORDS, holding the arguments it was started with. One file per
// start, so many starts at once never contend for a shared file.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  char folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VELQUIN_RECORDS", folder, MAX_PATH)) return 1;
  const std::string stem = std::string(folder) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(GetTickCount64());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string path = stem + "-" + std::to_string(attempt) + ".txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    WriteFile(file, arguments, static_cast<DWORD>(strlen(arguments)), &written, nullptr);
    CloseHandle(file);
    return 0;
  }
  return 2;
}

// A stand-in program for the shell tests: records the command line it was started
// with, its arguments and its current directory in the file named by
// VELQUIN_RECORDER_OUT. When VELQUIN_RECORDER_GATE names an event, it first waits
// (at most 10 s) for that event, so a test can tell whether its caller waited.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* out = std::getenv("VELQUIN_RECORDER_OUT");
  if (!out || !*out) return 2;
  std::string gate = "none";
  if (const char* name = std::getenv("VELQUIN_RECORDER_GATE"); name && *name) {
    const HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
    gate = !event ? "missing"
           : WaitForSingleObject(event, 10000) == WAIT_OBJECT_0 ? "opened"
                                                                 : "timeout";
    if (event) CloseHandle(event);
  }
  char cwd[MAX_PATH * 2] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);

  // Written aside and renamed, so the test never reads half a record.
  const std::string temp = std::string(out) + ".tmp";
  FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return 3;
  std::fprintf(file, "cmdline=%s\ncwd=%s\ngate=%s\n", GetCommandLineA(), cwd, gate.c_str());
  for (int i = 1; i < __argc; ++i) std::fprintf(file, "arg=%s\n", __argv[i]);
  std::fclose(file);
  return MoveFileExA(temp.c_str(), out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

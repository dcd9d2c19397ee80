// Tells a running Velquin that the computer has resumed, as Windows does:
// WM_POWERBROADCAST with PBT_APMRESUMESUSPEND (7), or the event code given.
//   VelquinResume.exe [code]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const WPARAM code = argc > 1 ? std::strtoul(argv[1], nullptr, 0) : PBT_APMRESUMESUSPEND;
  HWND window = FindWindowW(nullptr, L"ヴェルキン Ver, 1,1");
  if (!window) {
    std::fprintf(stderr, "Velquin is not running.\n");
    return 1;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_POWERBROADCAST, code, 0, SMTO_NORMAL, 30000, &result)) {
    std::fprintf(stderr, "Velquin did not answer within 30 s.\n");
    return 2;
  }
  std::printf("Sent resume event %lu.\n", static_cast<unsigned long>(code));
  return 0;
}

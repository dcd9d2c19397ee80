// Prints the visible top-level windows, topmost first, one a line:
// left top width height caption (UTF-8). scripts/screenshots.sh crops by it.
#include <windows.h>

#include <cstdio>

static BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  RECT r;
  if (!GetWindowRect(window, &r)) return TRUE;
  wchar_t caption[256] = L"";
  GetWindowTextW(window, caption, 256);
  char utf8[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, caption, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top, utf8);
  return TRUE;
}

int main() {
  EnumWindows(PrintWindow, 0);
  return 0;
}

#include "platform/Win32RunningCopy.h"

namespace velquin {

bool Win32RunningCopy::AskToShow() {
  if (!message_) return false;
  const HWND window = FindWindowA(windowClass_.c_str(), caption_.c_str());
  if (!window) return false;
  // The user started this process, so it may hand the foreground on to the copy
  // that is to come to the front.
  DWORD process = 0;
  if (GetWindowThreadProcessId(window, &process)) AllowSetForegroundWindow(process);
  return PostMessageA(window, message_, 0, 0) != 0;
}

}  // namespace velquin

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
  // Sent, not posted: a copy that is ending (saving, with no message loop any more)
  // does not answer in time, and the start waits for it to end instead.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(window, message_, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &answer) != 0 &&
         answer == kRunningCopyShown;
}

}  // namespace velquin

#include "platform/Win32RunningCopy.h"

#include "text/CodePage932.h"

namespace velquin {

bool Win32RunningCopy::AskToShow() {
  if (!message_) return false;
  const std::optional<std::wstring> windowClass = WideFromCp932Strict(windowClass_);
  const std::optional<std::wstring> caption = WideFromCp932Strict(caption_);
  if (!windowClass || !caption) return false;
  const HWND window = FindWindowW(windowClass->c_str(), caption->c_str());
  if (!window) return false;
  // The user started this process, so it may hand the foreground on to the copy
  // that is to come to the front.
  DWORD process = 0;
  if (GetWindowThreadProcessId(window, &process)) AllowSetForegroundWindow(process);
  // Sent, not posted: a copy that is ending (saving, with no message loop any more)
  // does not answer in time, and the start waits for it to end instead.
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, message_, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &answer) != 0 &&
         answer == kRunningCopyShown;
}

}  // namespace velquin

#include "platform/Win32NotifyIcon.h"

namespace velquin {

bool Win32NotifyIcon::Notify(DWORD message, const NotifyIconDataV1& data) {
  NotifyIconDataV1 copy = data;  // the call takes a writable record
  return Shell_NotifyIconA(message, reinterpret_cast<PNOTIFYICONDATAA>(&copy)) != FALSE;
}

}  // namespace velquin

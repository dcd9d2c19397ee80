#include "platform/Win32NotifyIcon.h"

#include "platform/Win32ShellLibrary.h"

namespace velquin {

bool Win32NotifyIcon::Notify(DWORD message, const NotifyIconDataV1& data) {
  NotifyIconDataV1 copy = data;  // the call takes a writable record
  return LazyShellNotifyIconA(message, reinterpret_cast<PNOTIFYICONDATAA>(&copy)) != FALSE;
}

}  // namespace velquin

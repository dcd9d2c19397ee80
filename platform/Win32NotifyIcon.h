#pragma once
// The notification-area icon through Shell_NotifyIconA, with the record in its
// first and smallest layout.
#include <windows.h>
#include <shellapi.h>

namespace velquin {

// NOTIFYICONDATAA as first laid out: 88 bytes in a 32-bit program.
struct NotifyIconDataV1 {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
};
static_assert(sizeof(NotifyIconDataV1) == NOTIFYICONDATAA_V1_SIZE);
#ifndef _WIN64
static_assert(sizeof(NotifyIconDataV1) == 88);
#endif

class NotifyIcon {
 public:
  virtual ~NotifyIcon() = default;
  // NIM_ADD, NIM_MODIFY or NIM_DELETE with `data`; true when the shell reports
  // success (a busy shell may report a failure although it did the work).
  virtual bool Notify(DWORD message, const NotifyIconDataV1& data) = 0;
};

class Win32NotifyIcon final : public NotifyIcon {
 public:
  bool Notify(DWORD message, const NotifyIconDataV1& data) override;
};

}  // namespace velquin

#pragma once
// The notification-area icon through Shell_NotifyIconW, with the record in its
// first and smallest layout.
#include <windows.h>
#include <shellapi.h>

#include <string_view>

namespace velquin {

// NOTIFYICONDATAW as first laid out: 152 bytes in a 32-bit program.
struct NotifyIconDataV1 {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  WCHAR szTip[64];
};
static_assert(sizeof(NotifyIconDataV1) == NOTIFYICONDATAW_V1_SIZE);
#ifndef _WIN64
static_assert(sizeof(NotifyIconDataV1) == 152);
#endif

// Puts as much of `text` into `tip` as fits with its NUL (63 UTF-16 units), never
// the first half of a surrogate pair without the second.
void SetTip(NotifyIconDataV1& data, std::wstring_view text);

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

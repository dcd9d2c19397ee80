#include "platform/Win32NotifyIcon.h"

#include <algorithm>
#include <iterator>

#include "platform/Win32ShellLibrary.h"

namespace velquin {

void SetTip(NotifyIconDataV1& data, std::wstring_view text) {
  size_t length = std::min(text.size(), std::size(data.szTip) - 1);
  const auto highSurrogate = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
  if (length < text.size() && length > 0 && highSurrogate(text[length - 1])) --length;
  std::fill(std::begin(data.szTip), std::end(data.szTip), L'\0');
  std::copy_n(text.begin(), length, data.szTip);
}

bool Win32NotifyIcon::Notify(DWORD message, const NotifyIconDataV1& data) {
  NotifyIconDataV1 copy = data;  // the call takes a writable record
  return LazyShellNotifyIconW(message, reinterpret_cast<PNOTIFYICONDATAW>(&copy)) != FALSE;
}

}  // namespace velquin

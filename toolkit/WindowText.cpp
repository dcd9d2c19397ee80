#include "toolkit/WindowText.h"

#include <algorithm>

namespace velquin {

std::wstring WideWindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

std::string WindowTextCp932(HWND window) { return Cp932FromWideLossy(WideWindowText(window)); }

void SetWindowTextCp932(HWND window, std::string_view text) { SetWindowTextW(window, WideFromCp932(text).c_str()); }

}  // namespace velquin

#include "toolkit/WideText.h"

#include <algorithm>
#include <climits>

namespace velquin {

std::wstring WideFromCp932(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
  const int length = MultiByteToWideChar(kTextCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(kTextCodePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

namespace {

std::string Narrow(std::wstring_view text, BOOL* usedDefault) {
  if (text.empty()) return {};
  const int size = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
  const DWORD flags = usedDefault ? WC_NO_BEST_FIT_CHARS : 0;
  const int length = WideCharToMultiByte(kTextCodePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0)
    WideCharToMultiByte(kTextCodePage, flags, text.data(), size, narrow.data(), length, nullptr, usedDefault);
  return narrow;
}

}  // namespace

std::optional<std::string> Cp932FromWide(std::wstring_view text) {
  BOOL usedDefault = FALSE;
  std::string narrow = Narrow(text, &usedDefault);
  // The way back must give the same characters: no default character, no
  // nearest-looking substitute.
  if (usedDefault || WideFromCp932(narrow) != text) return std::nullopt;
  return narrow;
}

std::string Cp932FromWideLossy(std::wstring_view text) { return Narrow(text, nullptr); }

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

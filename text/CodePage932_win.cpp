#include <windows.h>

#include <algorithm>
#include <climits>

#include "text/CodePage932.h"

namespace velquin {
namespace {

int Size(size_t length) { return static_cast<int>(std::min<size_t>(length, INT_MAX)); }

// An empty result for text that is not empty means the conversion failed.
std::wstring Widen(std::string_view text, DWORD flags) {
  if (text.empty()) return {};
  const int size = Size(text.size());
  const int length = MultiByteToWideChar(kTextCodePage, flags, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(kTextCodePage, flags, text.data(), size, wide.data(), length) != length) return {};
  return wide;
}

std::string Narrow(std::wstring_view text, BOOL* usedDefault) {
  if (text.empty()) return {};
  const int size = Size(text.size());
  const DWORD flags = usedDefault ? WC_NO_BEST_FIT_CHARS : 0;
  const int length = WideCharToMultiByte(kTextCodePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(std::max(length, 0)), '\0');
  if (length > 0)
    WideCharToMultiByte(kTextCodePage, flags, text.data(), size, narrow.data(), length, nullptr, usedDefault);
  return narrow;
}

}  // namespace

std::optional<std::wstring> WideFromCp932Strict(std::string_view text) {
  std::wstring wide = Widen(text, MB_ERR_INVALID_CHARS);
  if (wide.empty() && !text.empty()) return std::nullopt;
  return wide;
}

std::wstring WideFromCp932(std::string_view text) { return Widen(text, 0); }

std::optional<std::string> Cp932FromWide(std::wstring_view text) {
  BOOL usedDefault = FALSE;
  std::string narrow = Narrow(text, &usedDefault);
  // The way back must give the same characters: no default character, no
  // nearest-looking substitute.
  if (usedDefault || WideFromCp932(narrow) != text) return std::nullopt;
  return narrow;
}

std::string Cp932FromWideLossy(std::wstring_view text) { return Narrow(text, nullptr); }

bool LocaleTextEqual(std::string_view a, std::string_view b) {
  if (a == b) return true;
  // As the system compared code page 932 texts before: each converted as it would
  // have converted it.
  const std::wstring wa = WideFromCp932(a);
  const std::wstring wb = WideFromCp932(b);
  return CompareStringW(LOCALE_USER_DEFAULT, 0, wa.data(), Size(wa.size()), wb.data(), Size(wb.size())) ==
         CSTR_EQUAL;
}

}  // namespace velquin

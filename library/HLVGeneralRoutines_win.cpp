#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "library/HLVGeneralRoutines.h"
#include "text/CodePage932.h"

namespace velquin {
namespace {

constexpr const char* kReadFailed = "情報の取得に失敗しました";

void CheckKeyIndex(int KeyIndex) {
  if (KeyIndex < 0 || KeyIndex >= static_cast<int>(VersionInfoKeys.size())) {
    throw Exception(FormatText("バージョン情報のキー番号 %s は範囲外です", {std::to_string(KeyIndex)}));
  }
}

// The sub-block names are ASCII.
std::wstring WideAscii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

std::string ReadVersionInfoOf(const std::wstring& fileName, uint8_t KeyIndex) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(fileName.c_str(), &handle);
  if (size == 0) return {};

  // The buffer is released on every way out with the vector.
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(fileName.c_str(), 0, size, block.data())) throw Exception(kReadFailed);
  const char* const blockEnd = block.data() + block.size();

  // Only the first translation counts, however many the table holds. A table too
  // short for one entry is as good as none.
  void* translation = nullptr;
  UINT translationLength = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &translationLength) ||
      translation == nullptr || translationLength < 4) {
    throw Exception(kReadFailed);
  }
  const auto* entry = static_cast<const unsigned char*>(translation);
  const unsigned language = entry[0] | (entry[1] << 8);
  const unsigned codePage = entry[2] | (entry[3] << 8);

  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", language, codePage);
  const std::wstring path = L"\\StringFileInfo\\" + WideAscii(table) + L"\\" + WideAscii(VersionInfoKeys[KeyIndex]);

  void* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &valueLength) || value == nullptr || valueLength == 0) {
    return {};
  }
  // At most the reported length in characters, never past the block, and up to the
  // first NUL.
  const auto* text = static_cast<const wchar_t*>(value);
  size_t length = valueLength;
  const char* const textBytes = static_cast<const char*>(value);
  if (textBytes >= block.data() && textBytes < blockEnd) {
    length = std::min<size_t>(length, static_cast<size_t>(blockEnd - textBytes) / sizeof(wchar_t));
  }
  const std::wstring_view wide = std::wstring_view(text, length);
  const std::optional<std::string> narrow = Cp932FromWide(wide.substr(0, wide.find(L'\0')));
  if (!narrow) throw Exception(kReadFailed);
  return Trim(*narrow);
}

}  // namespace

std::string ReadVersionInfoString(const std::string& FileName, uint8_t KeyIndex) {
  CheckKeyIndex(KeyIndex);
  // A name that is not code page 932 text names no file that could be read.
  const std::optional<std::wstring> fileName = WideFromCp932Strict(FileName);
  if (!fileName || FileName.find('\0') != std::string::npos) return {};
  return ReadVersionInfoOf(*fileName, KeyIndex);
}

std::string ReadOwnVersionInfoString(int KeyIndex) {
  CheckKeyIndex(KeyIndex);
  // The path may be longer than MAX_PATH: grow until it fits. It goes to the
  // version calls as the system gave it, whatever characters it holds.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw Exception(kReadFailed);
    if (length < path.size()) return ReadVersionInfoOf(std::wstring(path.data(), length), static_cast<uint8_t>(KeyIndex));
    if (path.size() >= 32768) throw Exception(kReadFailed);
    path.resize(path.size() * 2);
  }
}

}  // namespace velquin

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

constexpr const char* kReadFailed = "情報の取得に失敗しました";

}  // namespace

std::string ReadVersionInfoString(const std::string& FileName, uint8_t KeyIndex) {
  if (KeyIndex >= VersionInfoKeys.size()) {
    throw Exception(FormatText("バージョン情報のキー番号 %s は範囲外です",
                               {std::to_string(KeyIndex)}));
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(FileName.c_str(), &handle);
  if (size == 0) return {};

  // The buffer is released on every way out with the vector.
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(FileName.c_str(), 0, size, block.data())) throw Exception(kReadFailed);
  const char* const blockEnd = block.data() + block.size();

  // Only the first translation counts, however many the table holds. A table too
  // short for one entry is as good as none.
  void* translation = nullptr;
  UINT translationLength = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation,
                      &translationLength) ||
      translation == nullptr || translationLength < 4) {
    throw Exception(kReadFailed);
  }
  const auto* entry = static_cast<const unsigned char*>(translation);
  const unsigned language = entry[0] | (entry[1] << 8);
  const unsigned codePage = entry[2] | (entry[3] << 8);

  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", language, codePage);
  const std::string path = "\\StringFileInfo\\" + std::string(table) + "\\" +
                           std::string(VersionInfoKeys[KeyIndex]);

  void* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueA(block.data(), path.c_str(), &value, &valueLength) || value == nullptr ||
      valueLength == 0) {
    return {};
  }
  // At most the reported length, never past the block, and up to the first NUL.
  const char* text = static_cast<const char*>(value);
  size_t length = valueLength;
  if (text >= block.data() && text < blockEnd) {
    length = std::min<size_t>(length, static_cast<size_t>(blockEnd - text));
  }
  const void* nul = std::memchr(text, '\0', length);
  if (nul != nullptr) length = static_cast<size_t>(static_cast<const char*>(nul) - text);
  return Trim(std::string_view(text, length));
}

std::string ReadOwnVersionInfoString(int KeyIndex) {
  if (KeyIndex < 0 || KeyIndex >= static_cast<int>(VersionInfoKeys.size())) {
    throw Exception(FormatText("バージョン情報のキー番号 %s は範囲外です",
                               {std::to_string(KeyIndex)}));
  }
  // The path may be longer than MAX_PATH: grow until it fits.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw Exception(kReadFailed);
    if (length < path.size()) {
      return ReadVersionInfoString(std::string(path.data(), length), static_cast<uint8_t>(KeyIndex));
    }
    if (path.size() >= 32768) throw Exception(kReadFailed);
    path.resize(path.size() * 2);
  }
}

}  // namespace velquin

#pragma once
// The program's texts are code page 932 (Shift_JIS) bytes, whatever code page
// Windows gives the process. This is the one place that knows the encoding: its
// lead bytes, the step from one character to the next, the locale's comparison,
// and on Windows every conversion to and from UTF-16, with code page 932 named.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velquin {

inline constexpr unsigned kTextCodePage = 932;

// 0x81 to 0x9F and 0xE0 to 0xFC.
bool IsCp932LeadByte(unsigned char byte);

// Bytes taken by the character starting at `pos` (1 or 2); at least 1 while `pos`
// is inside `text`. A lead byte followed by the end or a NUL stands alone.
size_t Cp932CharLength(std::string_view text, size_t pos);

// The user's locale's comparison, case-sensitive, without options; identical bytes
// are always equal. Off Windows, byte for byte.
bool LocaleTextEqual(std::string_view a, std::string_view b);

#ifdef _WIN32
// For texts that are stored or handed to Windows to act on: nothing when `text`
// holds bytes that are no code page 932 character.
std::optional<std::wstring> WideFromCp932Strict(std::string_view text);
// The code page 932 form of `text`; nothing when a character has none, or would
// come back as another character.
std::optional<std::string> Cp932FromWide(std::wstring_view text);

// For texts that are only shown: what has no counterpart becomes the code page's
// default character.
std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWideLossy(std::wstring_view text);
#endif

}  // namespace velquin

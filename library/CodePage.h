#pragma once
// The user's ANSI code page as the text routines see it: its lead bytes, the step
// from one character to the next, and the locale's text comparison.
#include <cstddef>
#include <string_view>

namespace velquin {

class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual bool IsLeadByte(unsigned char byte) const = 0;
  // Bytes taken by the character starting at `pos` (1 or 2); at least 1 while
  // `pos` is inside `text`.
  virtual size_t CharLength(std::string_view text, size_t pos) const = 0;
  // The locale-aware, case-sensitive comparison; identical bytes are always equal.
  virtual bool TextEqual(std::string_view a, std::string_view b) const = 0;
};

// Code page 932 from its own table, compared byte for byte: the host's stand-in.
const CodePage& Cp932TableCodePage();
// A code page without lead bytes.
const CodePage& SingleByteCodePage();

// The code page in force: on Windows the system's ANSI code page, elsewhere code
// page 932 from the table. Tests may put another in force for a while.
const CodePage& ActiveCodePage();

class ScopedCodePage {
 public:
  explicit ScopedCodePage(const CodePage& codePage);
  ~ScopedCodePage();
  ScopedCodePage(const ScopedCodePage&) = delete;
  ScopedCodePage& operator=(const ScopedCodePage&) = delete;

 private:
  const CodePage* previous_;
};

}  // namespace velquin

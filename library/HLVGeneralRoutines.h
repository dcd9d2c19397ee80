#pragma once
// The library's general routines: the text routines (HLVTextRoutines.h), the
// integer conversion, reading a file's version resource, and the exception report
// routine with its helper for provider methods that were never implemented.
#include <array>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "core/Exception.h"
#include "library/HLVTextRoutines.h"

namespace velquin {

class THMessageProvider;

// The failure of StrToInt: "'<text>' は整数ではありません".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Converts `iText` to a signed 32-bit integer: leading spaces, an optional sign,
// then decimal digits within the signed 32-bit range, or 1 to 8 hexadecimal digits
// after "$", "x", "X", "0x" or "0X" (their 32 bits read as a signed value). The
// digits must run to the end of the text; anything else throws EConvertError.
int32_t StrToInt(std::string_view iText);

// Replaces each "%s" of `pattern`, in order, with the next of `args`; a "%s" with no
// argument left stays as it is. Arguments are inserted as they are, never rescanned.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// The standard string names of a version resource, by the index callers pass.
inline constexpr std::array<std::string_view, 12> VersionInfoKeys = {
    "Comments",      "CompanyName",    "FileDescription", "FileVersion",
    "InternalName",  "LegalCopyright", "LegalTrademarks", "OriginalFilename",
    "PrivateBuild",  "ProductName",    "ProductVersion",  "SpecialBuild"};

#ifdef _WIN32
// One text value of the version resource of `FileName`, from the string table of
// its first translation, ordinarily trimmed. Empty when the file has no version
// resource (a name that is not code page 932 text names none) or the key is not in
// that table. Throws Exception "情報の取得に失敗しました" when the resource cannot
// be read, has no translation table or holds a value that code page 932 cannot
// hold, and Exception for a key index outside VersionInfoKeys.
std::string ReadVersionInfoString(const std::string& FileName, uint8_t KeyIndex);

// The same for the running program's own executable file.
std::string ReadOwnVersionInfoString(int KeyIndex);
#endif

// Reports that `iLabel`, a lookup method of `iProvider`'s class, has no
// implementation: an EHIncompleteCode goes to HExceptionMsg. Throws what
// HExceptionMsg throws (EHIncompleteCode while no report object is installed).
void ReportUnimplementedMethod(const THMessageProvider& iProvider, std::string_view iLabel);

// Hands an exception to the report object in gMPObject and returns its answer
// (iDefaultResult when it gives none). Throws EHIncompleteCode when gMPObject is
// empty. Ownership is in the type: an exception made only for this report is
// handed over and destroyed on every way out, also when the call fails; a caught
// one is lent by reference and lives on.
int32_t HExceptionMsg(std::unique_ptr<std::exception> iException, int32_t iOption, uint8_t iFlag,
                      int32_t iExtra, int32_t iDefaultResult, std::string_view iMessage);
int32_t HExceptionMsg(const std::exception& iException, int32_t iOption, uint8_t iFlag, int32_t iExtra,
                      int32_t iDefaultResult, std::string_view iMessage);

}  // namespace velquin

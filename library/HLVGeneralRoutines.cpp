#include "library/HLVGeneralRoutines.h"

#include <algorithm>
#include <memory>

#include "library/HLVException.h"
#include "library/HLVGlobalVars.h"
#include "library/HLVMessageProvider.h"

namespace velquin {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseInt(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string_view body = text.substr(i);
  if (body.starts_with("0x") || body.starts_with("0X")) {
    body.remove_prefix(2);
  } else if (body.starts_with('$') || body.starts_with('x') || body.starts_with('X')) {
    body.remove_prefix(1);
  } else {
    // Decimal: the magnitude may reach 2^31 only for a negative number.
    if (body.empty()) return false;
    uint64_t magnitude = 0;
    for (char c : body) {
      if (c < '0' || c > '9') return false;
      magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
      if (magnitude > 2147483648u) return false;
    }
    if (!negative && magnitude > 2147483647u) return false;
    value = static_cast<int32_t>(negative ? 0 - magnitude : magnitude);
    return true;
  }
  if (body.empty() || body.size() > 8) return false;
  uint32_t bits = 0;
  for (char c : body) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    bits = (bits << 4) | static_cast<uint32_t>(digit);
  }
  value = static_cast<int32_t>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace

int32_t StrToInt(std::string_view iText) {
  int32_t value = 0;
  if (!ParseInt(iText, value)) throw EConvertError(FormatText("'%s' は整数ではありません", {iText}));
  return value;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string result;
  auto arg = args.begin();
  size_t pos = 0;
  while (pos < pattern.size()) {
    const size_t mark = pattern.find("%s", pos);
    if (mark == std::string_view::npos || arg == args.end()) break;
    result.append(pattern, pos, mark - pos);
    result.append(*arg++);
    pos = mark + 2;
  }
  result.append(pattern.substr(std::min(pos, pattern.size())));
  return result;
}

void ReportUnimplementedMethod(const THMessageProvider& iProvider, std::string_view iLabel) {
  const std::string text = FormatText("%s クラスで未実装のメソッド %s が呼び出されました",
                                      {HClassName(typeid(iProvider)), iLabel});
  std::unique_ptr<EHException> report = HExceptionClass::Of<EHIncompleteCode>().Create(text, 0);
  HExceptionMsg(std::move(report), -1, 0, 0, 0, "");
}

namespace {

int32_t Report(const std::exception* iException, int32_t iOption, uint8_t iFlag, int32_t iExtra,
               int32_t iDefaultResult, std::string_view iMessage) {
  int32_t result = iDefaultResult;
  THReportObject* report = gMPObject;
  if (report == nullptr) {
    throw HCreate<EHIncompleteCode>(
        "HExceptionMsg 関数の動作に必要な gMPObject のインスタンスが初期化されていません", 0);
  }
  const auto* member = dynamic_cast<const EHException*>(iException);
  report->Level = member != nullptr ? member->Level() : 16;
  report->Text = IsBlank(iMessage) ? report->DefaultText() : std::string(iMessage);
  report->Option = iOption;
  report->Flag = iFlag;
  report->Extra = iExtra;
  result = report->ShowReport(iException);
  return result;
}

}  // namespace

int32_t HExceptionMsg(std::unique_ptr<std::exception> iException, int32_t iOption, uint8_t iFlag,
                      int32_t iExtra, int32_t iDefaultResult, std::string_view iMessage) {
  // The owned exception goes with `iException`, on every way out.
  return Report(iException.get(), iOption, iFlag, iExtra, iDefaultResult, iMessage);
}

int32_t HExceptionMsg(const std::exception& iException, int32_t iOption, uint8_t iFlag, int32_t iExtra,
                      int32_t iDefaultResult, std::string_view iMessage) {
  return Report(&iException, iOption, iFlag, iExtra, iDefaultResult, iMessage);
}

}  // namespace velquin

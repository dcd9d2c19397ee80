// The version text: its integer conversion, the assembly under any format byte,
// and the format setter's rules. Input: one format byte, one requested-format byte,
// then the version text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "library/HAboutForm_VersionFormat.h"
#include "library/HLVGeneralRoutines.h"

using namespace velquin;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckConversion(std::string_view text) {
  try {
    const int32_t value = StrToInt(text);
    // Its decimal form converts back to the same value.
    Check(StrToInt(std::to_string(value)) == value);
  } catch (const EConvertError& e) {
    Check(e.Message() == "'" + std::string(text) + "' は整数ではありません");
  }
}

void CheckAssembly(std::string_view text, TVersionFormat format) {
  try {
    const std::string result = BuildVersionString(text, format);
    // Only numbers, dots, minus signs and " Build ".
    for (char c : result) Check((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ' ' ||
                                std::string_view("Build").find(c) != std::string_view::npos);
    Check(result.empty() == !(format.Contains(vfMajor) || format.Contains(vfMinor) ||
                              format.Contains(vfRelease) || format.Contains(vfBuild)));
  } catch (const EConvertError&) {
  }
}

void CheckSetter(TVersionFormat current, TVersionFormat requested) {
  const TVersionFormat n = NormaliseVersionFormat(current, requested);
  Check(!n.Empty());
  Check(!n.Contains(vfBuildSeparation) || n.Contains(vfBuild));
  Check(!n.Contains(vfRelease) || n.Contains(vfMinor));
  Check(!n.Contains(vfMinor) || n.Contains(vfMajor));
  // Assigning the same value again changes nothing.
  Check(NormaliseVersionFormat(n, n) == n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const TVersionFormat format = TVersionFormat::FromByte(data[0]);
  const TVersionFormat requested = TVersionFormat::FromByte(data[1]);
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  CheckConversion(text);
  CheckAssembly(text, format);
  CheckSetter(format, requested);
  return 0;
}

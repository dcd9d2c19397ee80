#include "library/HAboutForm_VersionFormat.h"

#include "library/HLVGeneralRoutines.h"

namespace velquin {

TVersionFormat NormaliseVersionFormat(TVersionFormat current, TVersionFormat requested) {
  const auto removed = [&](TVersionFormatEnum e) {
    return current.Contains(e) && !requested.Contains(e);
  };
  // Only the first flag that the assignment removes is acted on.
  TVersionFormat n = requested;
  if (removed(vfMajor)) {
    n = requested.Without(vfMinor).Without(vfRelease).With(vfBuild);
  } else if (removed(vfMinor)) {
    n = requested.Without(vfRelease);
  } else if (removed(vfBuild)) {
    n = requested.Without(vfBuildSeparation);
    if (n.Empty()) n = {vfRelease};
  }
  if (n.Contains(vfBuildSeparation)) n = n.With(vfBuild);
  if (n.Contains(vfRelease)) n = n.With(vfMinor);
  if (n.Contains(vfMinor)) n = n.With(vfMajor);
  if (n.Empty()) n = kAllVersionFormat;
  return n;
}

std::string BuildVersionString(std::string_view fileVersion, TVersionFormat Format) {
  // Major, minor and release end at the next dot; the build number is the rest.
  // Without a dot the part counts as empty, which does not convert.
  int32_t numbers[4];
  std::string_view rest = fileVersion;
  for (int i = 0; i < 3; ++i) {
    const size_t dot = rest.find('.');
    if (dot == std::string_view::npos) {
      numbers[i] = StrToInt("");
      rest = {};
    } else {
      numbers[i] = StrToInt(rest.substr(0, dot));
      rest.remove_prefix(dot + 1);
    }
  }
  numbers[3] = StrToInt(rest);

  // Appended piece by piece: GCC 12 reports "literal" + std::string falsely as an
  // overlapping memcpy (-Wrestrict, GCC bug 105329).
  std::string result;
  const auto append = [&result](const char* separator, int32_t number) {
    result += separator;
    result += std::to_string(number);
  };
  if (Format.Contains(vfMajor)) append("", numbers[0]);
  if (Format.Contains(vfMinor)) append(".", numbers[1]);
  if (Format.Contains(vfRelease)) append(".", numbers[2]);
  if (Format.Contains(vfBuild)) {
    if (Format.Contains(vfBuildSeparation) || IsBlank(result)) {
      append(IsBlank(result) ? "Build " : " Build ", numbers[3]);
    } else {
      append(".", numbers[3]);
    }
  }
  return result;
}

}  // namespace velquin

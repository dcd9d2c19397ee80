#pragma once
// The about component's version-format flags and the version text they produce.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velquin {

enum TVersionFormatEnum : uint8_t {
  vfMajor,            // the major number
  vfMinor,            // "." and the minor number
  vfRelease,          // "." and the release number
  vfBuild,            // the build number
  vfBuildSeparation,  // the build number after "Build " instead of "."
};

// A set of TVersionFormatEnum in one byte: element n is bit n.
class TVersionFormat {
 public:
  constexpr TVersionFormat() = default;
  constexpr TVersionFormat(std::initializer_list<TVersionFormatEnum> elements) {
    for (TVersionFormatEnum e : elements) bits_ = static_cast<uint8_t>(bits_ | Bit(e));
  }
  // Bits 5 to 7 name no element and are dropped.
  static constexpr TVersionFormat FromByte(uint8_t bits) {
    TVersionFormat f;
    f.bits_ = static_cast<uint8_t>(bits & 0x1F);
    return f;
  }
  constexpr uint8_t Byte() const { return bits_; }
  constexpr bool Contains(TVersionFormatEnum e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TVersionFormat With(TVersionFormatEnum e) const { return FromByte(bits_ | Bit(e)); }
  constexpr TVersionFormat Without(TVersionFormatEnum e) const {
    return FromByte(static_cast<uint8_t>(bits_ & ~Bit(e)));
  }
  friend constexpr bool operator==(TVersionFormat, TVersionFormat) = default;

 private:
  static constexpr uint8_t Bit(TVersionFormatEnum e) { return static_cast<uint8_t>(1u << e); }
  uint8_t bits_ = 0;
};

// Major, minor, release and build: the component's default (15).
inline constexpr TVersionFormat kDefaultVersionFormat = {vfMajor, vfMinor, vfRelease, vfBuild};
// All five flags (31).
inline constexpr TVersionFormat kAllVersionFormat = {vfMajor, vfMinor, vfRelease, vfBuild,
                                                     vfBuildSeparation};

// The component's VersionFormat setter: the set that results when `requested` is
// assigned while the property holds `current`. Removing the major number also
// removes minor and release and switches the build number on; removing the minor
// number removes the release number; removing the build number removes the
// separation and never leaves the set empty; release needs minor, minor needs
// major, the separation needs the build number; an empty result becomes all five.
TVersionFormat NormaliseVersionFormat(TVersionFormat current, TVersionFormat requested);

// The display text of the file version `fileVersion` ("1.2.3.4") under `Format`:
// "1.2.3.4", "1.2.3 Build 4", "Build 4"… Throws EConvertError when the text is not
// four dot-separated integers.
std::string BuildVersionString(std::string_view fileVersion, TVersionFormat Format);

#ifdef _WIN32
// The same for the "FileVersion" of the running program's own executable file.
std::string BuildVersionString(TVersionFormat Format);
#endif

}  // namespace velquin

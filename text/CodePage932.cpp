#include "text/CodePage932.h"

namespace velquin {

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t Cp932CharLength(std::string_view text, size_t pos) {
  if (pos + 1 < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[pos])) &&
      text[pos + 1] != '\0') {
    return 2;
  }
  return 1;
}

}  // namespace velquin

#include "core/power/DisplayStateRecord.h"

#include <cstring>

namespace velquin {

std::optional<uint32_t> ReadDisplayState(const void* record) {
  if (!record) return std::nullopt;
  const auto* setting = static_cast<const unsigned char*>(record);
  if (std::memcmp(setting, kConsoleDisplayStateGuid, sizeof kConsoleDisplayStateGuid) != 0) return std::nullopt;
  const unsigned char* lengthField = setting + sizeof kConsoleDisplayStateGuid;
  uint32_t length = 0;
  std::memcpy(&length, lengthField, sizeof length);
  uint32_t state = 0;
  if (length < sizeof state) return std::nullopt;
  std::memcpy(&state, lengthField + sizeof length, sizeof state);
  return state;
}

}  // namespace velquin

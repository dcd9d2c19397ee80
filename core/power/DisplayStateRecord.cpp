#include "core/power/DisplayStateRecord.h"

#include <cstring>

namespace velquin {

std::optional<uint32_t> ReadDisplayState(const void* record) {
  if (!record) return std::nullopt;
  const auto* bytes = static_cast<const unsigned char*>(record);
  if (std::memcmp(bytes, kConsoleDisplayStateGuid, sizeof kConsoleDisplayStateGuid) != 0) return std::nullopt;
  uint32_t length = 0;
  std::memcpy(&length, bytes + 16, sizeof length);
  uint32_t state = 0;
  if (length < sizeof state) return std::nullopt;
  std::memcpy(&state, bytes + 20, sizeof state);
  return state;
}

}  // namespace velquin

#pragma once
// The existence test's view of the file system through FindFirstFileW and the
// file-time conversions.
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/ports/FileSystem.h"

namespace velquin {

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<DirEntry> FindFirstEntry(std::string_view pattern) override;
  std::optional<int> LocalDosYear(uint64_t fileTime) override;
};

}  // namespace velquin

#pragma once
// The current user's registry through the ANSI registry functions.
#include <memory>
#include <string_view>

#include "core/ports/Registry.h"

namespace velquin {

class Win32Registry final : public Registry {
 public:
  // `path` is relative to HKEY_CURRENT_USER and must not begin with a backslash
  // (the registry refuses such a path): "SOFTWARE\HALVERN\Velquin".
  std::unique_ptr<RegistryKey> CreateKey(std::string_view path) override;
};

}  // namespace velquin

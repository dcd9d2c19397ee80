#pragma once
// The power platform of Windows: the capability query of the power library and the
// suspend and resume registration of user32 (Windows 8 and later), both looked up
// at run time, so that the program starts where either is missing.
#include <windows.h>

#include "core/ports/PowerPlatform.h"

namespace velquin {

// CallNtPowerInformation(SystemPowerCapabilities) into `capabilities`: its status
// (0 on success), STATUS_DLL_NOT_FOUND or STATUS_ENTRYPOINT_NOT_FOUND when the
// power library or the call is missing.
LONG QueryPowerCapabilities(SYSTEM_POWER_CAPABILITIES& capabilities);

// The AoAc member: true where the machine stands by in S0 low-power idle. MinGW's
// declaration predates it and the two members before it, and names their three
// bytes spare2.
bool AoAc(const SYSTEM_POWER_CAPABILITIES& capabilities);

class Win32PowerPlatform final : public PowerPlatform {
 public:
  std::optional<bool> ModernStandby() override;
  uintptr_t RegisterSuspendResume(uintptr_t window) override;
  bool UnregisterSuspendResume(uintptr_t registration) override;
};

}  // namespace velquin

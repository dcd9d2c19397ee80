#pragma once
// The power platform of Windows: the capability query of the power library, the
// suspend and resume registration (Windows 8 and later) and the power setting
// registration of user32, all looked up at run time, so that the program starts
// where any is missing; the diagnostics go to OutputDebugStringW.
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
  uintptr_t RegisterDisplayState(uintptr_t window) override;
  bool UnregisterDisplayState(uintptr_t registration) override;
  void Trace(std::string_view line) override;
};

}  // namespace velquin

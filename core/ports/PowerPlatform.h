#pragma once
// The machine's standby model, and the registration for suspend and resume
// notifications that machines with S0 low-power idle standby need before they
// send them to a window.
#include <cstdint>
#include <optional>

namespace velquin {

class PowerPlatform {
 public:
  virtual ~PowerPlatform() = default;
  // True where the machine stands by in S0 low-power idle ("Modern Standby"),
  // false where it uses classic standby; nullopt when the machine cannot be asked.
  virtual std::optional<bool> ModernStandby() = 0;
  // Registers `window` for the suspend and resume notifications; 0 when the call
  // is missing (before Windows 8) or refused.
  virtual uintptr_t RegisterSuspendResume(uintptr_t window) = 0;
  // Ends a registration; false when that was refused.
  virtual bool UnregisterSuspendResume(uintptr_t registration) = 0;
};

}  // namespace velquin

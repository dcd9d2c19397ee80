#pragma once
// The machine's standby model, the registrations that machines with S0 low-power
// idle standby need before they tell a window of suspend, resume and the display
// state, and the debug output where the power handling says what it decided.
#include <cstdint>
#include <optional>
#include <string_view>

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
  // Registers `window` for changes of the console display state; 0 when the call
  // is missing or refused.
  virtual uintptr_t RegisterDisplayState(uintptr_t window) = 0;
  virtual bool UnregisterDisplayState(uintptr_t registration) = 0;
  // One short line of text for a debug-output viewer; nothing is stored or shown.
  virtual void Trace(std::string_view line) = 0;
};

}  // namespace velquin

#pragma once
// A power platform of any kind of machine: classic standby, S0 low-power idle
// ("Modern Standby"), one that cannot be asked, or a Modern Standby machine whose
// registration call is missing or refuses. It records every registration and
// unregistration, and can refuse to unregister.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/ports/PowerPlatform.h"

namespace velquin {

enum class PowerMachine { Classic, ModernStandby, QueryFails, RegistrationMissing, RegistrationFails };

class FakePowerPlatform : public PowerPlatform {
 public:
  explicit FakePowerPlatform(PowerMachine machine = PowerMachine::Classic) : machine_(machine) {}

  void SetMachine(PowerMachine machine) { machine_ = machine; }
  void FailUnregister(bool fail) { failUnregister_ = fail; }

  std::optional<bool> ModernStandby() override {
    ++queries_;
    if (machine_ == PowerMachine::QueryFails) return std::nullopt;
    return machine_ != PowerMachine::Classic;
  }

  uintptr_t RegisterSuspendResume(uintptr_t window) override {
    if (machine_ == PowerMachine::RegistrationMissing) return 0;  // nothing to call
    registered_.push_back(window);
    if (machine_ == PowerMachine::RegistrationFails) return 0;
    live_.push_back(nextHandle_);
    return nextHandle_++;
  }

  bool UnregisterSuspendResume(uintptr_t registration) override {
    unregistered_.push_back(registration);
    const auto it = std::find(live_.begin(), live_.end(), registration);
    if (failUnregister_ || it == live_.end()) return false;
    live_.erase(it);
    return true;
  }

  int Queries() const { return queries_; }
  // The windows a registration was asked for, also the refused ones.
  const std::vector<uintptr_t>& Registered() const { return registered_; }
  const std::vector<uintptr_t>& Unregistered() const { return unregistered_; }
  // Registrations made and not ended.
  const std::vector<uintptr_t>& Live() const { return live_; }

 private:
  PowerMachine machine_;
  bool failUnregister_ = false;
  int queries_ = 0;
  uintptr_t nextHandle_ = 0x5100;
  std::vector<uintptr_t> registered_;
  std::vector<uintptr_t> unregistered_;
  std::vector<uintptr_t> live_;
};

}  // namespace velquin

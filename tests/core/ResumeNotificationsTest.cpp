#include <gtest/gtest.h>

#include <vector>

#include "core/fakes/FakePowerPlatform.h"
#include "core/power/ResumeNotifications.h"

namespace velquin {
namespace {

constexpr uintptr_t kWindow = 0x4242;

TEST(ResumeNotificationsTest, PassesAndRegistrationsOnEveryKindOfMachine) {
  const struct {
    const char* name;
    PowerMachine kind;
    bool asks, registers, refuseEnd;  // a registration asked for, made, its end refused
  } machines[] = {
      {"classic", PowerMachine::Classic, false, false, false},
      {"query fails", PowerMachine::QueryFails, false, false, false},
      {"Modern Standby", PowerMachine::ModernStandby, true, true, false},
      {"Modern Standby, unregistration refused", PowerMachine::ModernStandby, true, true, true},
      {"registration missing", PowerMachine::RegistrationMissing, false, false, false},
      {"registration fails", PowerMachine::RegistrationFails, true, false, false},
  };
  // Event codes, then the passes they run on a classic machine and on a registered one.
  const struct { std::vector<uint32_t> codes; int classic, registered; } sequences[] = {
      {{4, 18, 7}, 1, 1}, {{4, 18, 7, 7}, 2, 1},        {{7, 7}, 2, 2},
      {{18}, 0, 0},       {{4, 18, 7, 4, 18, 7}, 2, 2}, {{4, 7, 18, 7}, 2, 1},
  };
  for (const auto& m : machines) {
    for (const auto& s : sequences) {
      SCOPED_TRACE(testing::Message() << m.name << " " << testing::PrintToString(s.codes));
      FakePowerPlatform platform(m.kind);
      platform.FailUnregister(m.refuseEnd);
      {
        ResumeNotifications notifications(&platform);
        notifications.Start(kWindow);
        notifications.Start(kWindow + 1);  // only the first start acts
        EXPECT_EQ(notifications.Registered(), m.registers);
        int passes = 0;
        for (uint32_t code : s.codes) passes += notifications.ShouldRunPass(code) ? 1 : 0;
        EXPECT_EQ(passes, m.registers ? s.registered : s.classic);
        notifications.Stop();
        EXPECT_FALSE(notifications.Registered());
      }  // the destructor stops again
      EXPECT_EQ(platform.Queries(), 1);
      EXPECT_EQ(platform.Registered(), std::vector<uintptr_t>(m.asks ? 1 : 0, kWindow));
      EXPECT_EQ(platform.Unregistered().size(), m.registers ? 1u : 0u);  // once, never retried
      EXPECT_EQ(platform.Live().size(), m.refuseEnd ? 1u : 0u);
    }
  }
}

}  // namespace
}  // namespace velquin

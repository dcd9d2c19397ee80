#include <gtest/gtest.h>

#include <vector>

#include "core/fakes/FakePowerPlatform.h"
#include "core/power/ResumeNotifications.h"

namespace velquin {
namespace {

constexpr uintptr_t kWindow = 0x4242;

struct Machine {
  const char* name;
  PowerMachine kind;
  bool registers;      // a registration is asked for
  bool oncePerSuspend; // it succeeds: one pass per return from standby
};

const Machine kMachines[] = {
    {"classic", PowerMachine::Classic, false, false},
    {"query fails", PowerMachine::QueryFails, false, false},
    {"Modern Standby", PowerMachine::ModernStandby, true, true},
    {"registration missing", PowerMachine::RegistrationMissing, false, false},
    {"registration fails", PowerMachine::RegistrationFails, true, false},
};

struct Sequence {
  std::vector<uint32_t> codes;
  int classicPasses;
  int registeredPasses;
};

const Sequence kSequences[] = {
    {{4, 18, 7}, 1, 1},
    {{4, 18, 7, 7}, 2, 1},        // broadcast and registration deliver the same return
    {{7, 7}, 2, 2},               // before the first suspend nothing is lost
    {{18}, 0, 0},
    {{4, 18, 7, 4, 18, 7}, 2, 2}, // two returns from standby
    {{4, 7, 18, 7}, 2, 1},
    {{7, 4, 7, 7, 0, 6, 10}, 3, 2},
};

int Passes(ResumeNotifications& notifications, const std::vector<uint32_t>& codes) {
  int passes = 0;
  for (uint32_t code : codes) passes += notifications.ShouldRunPass(code) ? 1 : 0;
  return passes;
}

TEST(ResumeNotificationsTest, PassesAndRegistrationForEveryKindOfMachine) {
  for (const Machine& machine : kMachines) {
    for (const Sequence& sequence : kSequences) {
      SCOPED_TRACE(testing::Message() << machine.name << ", " << testing::PrintToString(sequence.codes));
      FakePowerPlatform platform(machine.kind);
      {
        ResumeNotifications notifications(&platform);
        notifications.Start(kWindow);
        EXPECT_EQ(notifications.Registered(), machine.oncePerSuspend);
        EXPECT_EQ(platform.Registered(), machine.registers ? std::vector<uintptr_t>{kWindow} : std::vector<uintptr_t>{});
        EXPECT_EQ(Passes(notifications, sequence.codes),
                  machine.oncePerSuspend ? sequence.registeredPasses : sequence.classicPasses);
        notifications.Stop();
        EXPECT_FALSE(notifications.Registered());
      }
      EXPECT_EQ(platform.Queries(), 1);
      EXPECT_TRUE(platform.Live().empty());
      EXPECT_EQ(platform.Unregistered().size(), machine.oncePerSuspend ? 1u : 0u);
    }
  }
}

TEST(ResumeNotificationsTest, OneRegistrationPerRunEndedExactlyOnce) {
  struct Case {
    const char* name;
    int stops;  // 0: ended only by the destructor
    bool failUnregister;
  };
  for (const Case& c : {Case{"stopped at the window's end", 1, false}, Case{"stopped twice", 2, false},
                        Case{"ended only by the destructor", 0, false}, Case{"unregistration refused", 1, true}}) {
    SCOPED_TRACE(c.name);
    FakePowerPlatform platform(PowerMachine::ModernStandby);
    platform.FailUnregister(c.failUnregister);
    {
      ResumeNotifications notifications(&platform);
      notifications.Start(kWindow);
      notifications.Start(kWindow + 1);  // a second start registers nothing more
      for (int i = 0; i < c.stops; ++i) notifications.Stop();
    }
    EXPECT_EQ(platform.Registered(), std::vector<uintptr_t>{kWindow});
    ASSERT_EQ(platform.Unregistered().size(), 1u);  // never retried, never twice
    EXPECT_EQ(platform.Live().size(), c.failUnregister ? 1u : 0u);
  }
}

TEST(ResumeNotificationsTest, WithoutAPlatformEveryResumeRuns) {
  ResumeNotifications notifications(nullptr);
  notifications.Start(kWindow);
  notifications.Stop();
  EXPECT_FALSE(notifications.Registered());
  EXPECT_EQ(Passes(notifications, {4, 18, 7, 7}), 2);
}

}  // namespace
}  // namespace velquin

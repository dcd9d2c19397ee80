#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fakes/FakePowerPlatform.h"
#include "core/power/DisplayStateRecord.h"
#include "core/power/ResumeNotifications.h"

namespace velquin {
namespace {

constexpr uintptr_t kWindow = 0x4242;

// Setting changes in a sequence, beside the event codes: the display state in a
// record as Windows lays it out; a record stating less data than a state (the state
// bytes are not there); a record of another setting (the power source) whose value
// 1 must not count as "on"; no record at all.
enum : uint32_t { Off = 1000, On, Dimmed, ShortRecord, OtherSetting, NoRecord };

// The record of a setting change, allocated exactly as long as it says it is, so
// that a read beyond it is a heap overflow the sanitizer build reports.
std::unique_ptr<unsigned char[]> Record(uint32_t item) {
  static const unsigned char kPowerSource[16] = {0x59, 0x9a, 0x3e, 0x5d, 0xd5, 0xe9, 0x00, 0x4b,
                                                 0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48};
  const uint32_t length = item == ShortRecord ? 3 : 4;
  const uint32_t state = item == Off ? 0 : item == Dimmed ? 2 : 1;
  auto record = std::make_unique<unsigned char[]>(20 + length);
  std::memcpy(record.get(), item == OtherSetting ? kPowerSource : kConsoleDisplayStateGuid, 16);
  std::memcpy(record.get() + 16, &length, 4);
  std::memcpy(record.get() + 20, &state, length);
  return record;
}

TEST(ResumeNotificationsTest, PassesAndRegistrationsOnEveryKindOfMachine) {
  enum Rule { ClassicRule, BothRegistered, DisplayRefused };
  const struct {
    const char* name;
    PowerMachine kind;
    bool asks, registers, displayRegisters, refuseEnd;  // registrations asked for and made, their end refused
    Rule rule;
  } machines[] = {
      {"classic", PowerMachine::Classic, false, false, false, false, ClassicRule},
      {"query fails", PowerMachine::QueryFails, false, false, false, false, ClassicRule},
      {"Modern Standby", PowerMachine::ModernStandby, true, true, true, false, BothRegistered},
      {"Modern Standby, unregistration refused", PowerMachine::ModernStandby, true, true, true, true, BothRegistered},
      {"registration missing", PowerMachine::RegistrationMissing, false, false, false, false, ClassicRule},
      {"registration fails", PowerMachine::RegistrationFails, true, false, false, false, ClassicRule},
      {"display state refused", PowerMachine::DisplayRegistrationFails, true, true, false, false, DisplayRefused},
  };
  // What the window receives, then the passes it runs under each rule.
  const struct {
    std::vector<uint32_t> received;
    int passes[3];
  } sequences[] = {
      {{4, 18, On}, {0, 1, 0}},
      {{4, 18, 7}, {1, 1, 1}},
      {{4, 18, 7, On}, {1, 1, 1}},
      {{4, 18, On, 7}, {1, 1, 1}},
      {{18, On}, {0, 1, 0}},                         // the 4 lost
      {{On}, {0, 0, 0}},                             // the state sent when registering
      {{Off, On}, {0, 0, 0}},                        // the screen back after an idle time-out
      {{4, Dimmed, On}, {0, 1, 0}},
      {{4, 18, 7, 7}, {2, 1, 1}},
      {{4, 18, 7, On, 4, 18, On, 7}, {2, 2, 2}},     // two returns in a row
      {{On, Off, 4, 18, 7, On}, {1, 1, 1}},          // standby that ended in hibernation
      {{7, 7}, {2, 2, 2}},                           // before any sign of sleep, no resume is lost
      {{18}, {0, 0, 0}},
      {{4, 7, 18, 7}, {2, 2, 2}},
      {{4, 4, 18, 18, 7, 7}, {2, 1, 1}},             // each delivered twice
      {{4, 18, ShortRecord, OtherSetting, NoRecord, On}, {0, 1, 0}},
  };
  for (const auto& m : machines) {
    for (const auto& s : sequences) {
      SCOPED_TRACE(testing::Message() << m.name << " " << testing::PrintToString(s.received));
      FakePowerPlatform platform(m.kind);
      platform.FailUnregister(m.refuseEnd);
      int passes = 0;
      {
        ResumeNotifications notifications(&platform);
        notifications.Start(kWindow);
        notifications.Start(kWindow + 1);  // only the first start acts
        EXPECT_EQ(notifications.Registered(), m.registers);
        for (uint32_t item : s.received) {
          const bool setting = item >= Off;
          const auto record = setting && item != NoRecord ? Record(item) : nullptr;
          const PowerVerdict verdict = notifications.Receive(setting ? kPbtPowerSettingChange : item, record.get());
          EXPECT_EQ(verdict.result, setting ? 1 : 0) << item;
          passes += verdict.runPass ? 1 : 0;
        }
        EXPECT_EQ(passes, s.passes[m.rule]);
        notifications.Stop();
        EXPECT_FALSE(notifications.Registered());
      }  // the destructor stops again
      EXPECT_EQ(platform.Queries(), 1);
      const std::vector<uintptr_t> window(1, kWindow), none;
      EXPECT_EQ(platform.Registered(), m.asks ? window : none);
      EXPECT_EQ(platform.DisplayRegistered(), m.registers ? window : none);
      EXPECT_EQ(platform.Unregistered().size(), m.registers ? 1u : 0u);  // once, never retried
      EXPECT_EQ(platform.DisplayUnregistered().size(), m.displayRegisters ? 1u : 0u);
      EXPECT_EQ(platform.Live().size(), m.refuseEnd ? 2u : 0u);
      // The start, then one line for each notification, saying what it decided.
      const auto& lines = platform.Lines();
      ASSERT_EQ(lines.size(), 1 + s.received.size());
      EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                              [](const std::string& l) { return l.find(": pass (") != std::string::npos; }),
                passes);
    }
  }
}

}  // namespace
}  // namespace velquin

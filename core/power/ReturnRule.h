#pragma once
// When the user is back, on a machine that stands by in S0 low-power idle and told
// the window of it. Whether Windows sends PBT_APMRESUMESUSPEND (7) there, or only
// PBT_APMRESUMEAUTOMATIC (18) and the display turning on, differs between
// machines; the return is the first of the two after the machine went to sleep,
// and it runs the list once.
#include <cstdint>

namespace velquin {

enum class ReturnState {
  NotArmed,  // no sign of sleep yet in this run
  Armed,     // the machine went to sleep (4) or woke (18): the return is to come
  Ran,       // this return ran the list
};

enum class PowerSignal {
  SuspendOrWake,  // PBT_APMSUSPEND (4) or PBT_APMRESUMEAUTOMATIC (18)
  ResumeSuspend,  // PBT_APMRESUMESUSPEND (7)
  DisplayOn,
  Other,  // the display off or dimmed, any other event or setting
};

struct ReturnStep {
  bool pass;
  ReturnState next;
};

// The state after `signal`, and whether it runs the list. A 7 before any sign of
// sleep runs it (no resume is lost); the display turning on then does not (it is
// the state sent when the window registered, or the screen back after an idle
// time-out).
ReturnStep NextReturnStep(ReturnState state, PowerSignal signal);

const char* ReturnStateName(ReturnState state);

}  // namespace velquin

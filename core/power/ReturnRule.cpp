#include "core/power/ReturnRule.h"

namespace velquin {

ReturnStep NextReturnStep(ReturnState state, PowerSignal signal) {
  switch (signal) {
    case PowerSignal::SuspendOrWake:
      return {false, ReturnState::Armed};
    case PowerSignal::ResumeSuspend:
      if (state == ReturnState::Armed) return {true, ReturnState::Ran};
      return {state == ReturnState::NotArmed, state};
    case PowerSignal::DisplayOn:
      if (state == ReturnState::Armed) return {true, ReturnState::Ran};
      return {false, state};
    case PowerSignal::Other:
      break;
  }
  return {false, state};
}

const char* ReturnStateName(ReturnState state) {
  switch (state) {
    case ReturnState::NotArmed:
      return "not armed";
    case ReturnState::Armed:
      return "armed";
    case ReturnState::Ran:
      return "ran";
  }
  return "?";
}

}  // namespace velquin

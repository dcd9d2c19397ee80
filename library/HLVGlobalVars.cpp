#include "library/HLVGlobalVars.h"

namespace velquin {

THReportObject* gMPObject = nullptr;

namespace {

struct GlobalVarsUnit {
  ~GlobalVarsUnit() { HLVGlobalVarsFinalization(); }
};

}  // namespace

// A function-local static: whoever calls first fixes the order, and the unit is
// finalised after everything that initialised after it.
void HLVGlobalVarsInitialization() { static GlobalVarsUnit unit; }

void HLVGlobalVarsFinalization() {
  THReportObject* object = gMPObject;
  gMPObject = nullptr;
  delete object;
}

namespace {
[[maybe_unused]] const bool g_initialised = (HLVGlobalVarsInitialization(), true);
}  // namespace

}  // namespace velquin

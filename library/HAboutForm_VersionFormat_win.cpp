#include "library/HAboutForm_VersionFormat.h"

#include "library/HLVGeneralRoutines.h"

namespace velquin {

std::string BuildVersionString(TVersionFormat Format) {
  return BuildVersionString(ReadOwnVersionInfoString(3), Format);
}

}  // namespace velquin

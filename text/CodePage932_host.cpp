// Off Windows there is no locale's comparison to ask: bytes decide.
#include "text/CodePage932.h"

namespace velquin {

bool LocaleTextEqual(std::string_view a, std::string_view b) { return a == b; }

}  // namespace velquin

// Off Windows the program's texts are code page 932 all the same.
#include "library/CodePage.h"

namespace velquin {

const CodePage& SystemCodePage() { return Cp932TableCodePage(); }

}  // namespace velquin

#pragma once
// Case-insensitive names as Windows compares them for file and registry names:
// single-byte letters fold, double-byte characters (whose trail bytes may look like
// letters or a backslash) stay as they are.
#include <string>
#include <string_view>

namespace velquin {

std::string FoldName(std::string_view name);

}  // namespace velquin

#include "core/fakes/FoldName.h"

#include "text/CodePage932.h"

namespace velquin {

std::string FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (size_t pos = 0; pos < name.size();) {
    const size_t length = Cp932CharLength(name, pos);
    if (length == 1 && name[pos] >= 'a' && name[pos] <= 'z') {
      folded += static_cast<char>(name[pos] - 'a' + 'A');
    } else {
      folded.append(name.substr(pos, length));
    }
    pos += length;
  }
  return folded;
}

}  // namespace velquin

// The word split over any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/tasks/TaskLine.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velquin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::vector<TaskWord> words = SplitTaskWords(text);
  FUZZ_CHECK(words.size() <= text.size() + 1);
  size_t previousEnd = 0;
  for (const TaskWord& word : words) {
    FUZZ_CHECK(word.end >= previousEnd && word.end <= text.size());
    FUZZ_CHECK(word.text.size() <= word.end);
    previousEnd = word.end;
  }
  return 0;
}

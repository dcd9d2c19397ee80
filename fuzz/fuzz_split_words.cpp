// The word split over any bytes, in code page 932 and without lead bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/tasks/TaskLine.h"
#include "fuzz/FuzzCheck.h"
#include "library/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velquin;
  if (size == 0) return 0;
  std::optional<ScopedCodePage> singleByte;
  if (data[0] == 0xFF) singleByte.emplace(SingleByteCodePage());
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

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

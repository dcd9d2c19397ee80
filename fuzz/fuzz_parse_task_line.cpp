// ParseTaskLine over any line against a fixed fake file system. A line that parses
// must give a quoted name and trimmed parameters taken from the line, and its normal
// form must parse to the same again (unless the name holds a quote).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/tasks/TaskLine.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFileSystem.h"
#include "library/HLVTextRoutines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velquin;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  FakeFileSystem& fs = FuzzFileSystem();
  CountingFileSystem counting(fs);

  std::string fileName, params;
  const bool parsed = ParseTaskLine(counting, line, fileName, params);
  FUZZ_CHECK(counting.Searches() <= static_cast<long long>(SplitTaskWords(line).size()));
  if (!parsed) return 0;

  FUZZ_CHECK(fileName.size() >= 3 && fileName.front() == '"' && fileName.back() == '"');
  FUZZ_CHECK(Trim(params) == params);
  FUZZ_CHECK(line.find(params) != std::string_view::npos);

  // A name may hold a quote where ".." takes it out again ("C:\x\"\..\run.exe"); its
  // normal form then reads differently, as the format has it.
  if (fileName.find('"', 1) != fileName.size() - 1) return 0;
  const std::string normal = Trim(fileName + ' ' + params);
  std::string fileName2, params2;
  FUZZ_CHECK(ParseTaskLine(fs, normal, fileName2, params2));
  FUZZ_CHECK(fileName2 == fileName && params2 == params);
  return 0;
}

// Several runs of the program over one in-memory registry: each run loads with
// failures the input chooses, then edits the list and saves several times, as each
// edit and the exit do, each save with other failures (or none: the fault has
// cleared). Checked after every save, whether it succeeded or stopped part-way:
// each stored line that the load did not bring into the list is still stored,
// unchanged in type and data, where the next load counts it; a save that succeeds
// after such a load writes the list first, as it was, then those lines, each once.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/fakes/FakeRegistry.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskStore.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFileSystem.h"
#include "fuzz/TaskStoreInput.h"

using namespace velquin;
using namespace velquin::fuzz;

namespace {

const std::string kKey(kTaskStoreKeyPath);
constexpr int kMaxRuns = 6;
constexpr int kMaxValues = 12;
constexpr int kMaxSaves = 4;  // in one run

using Stored = std::pair<uint32_t, std::string>;  // type and data
using Bag = std::map<Stored, int>;

// What the load counts: every line value below a Count it can read, every line
// value there is when it cannot read Count.
std::optional<int64_t> CountBound(const FakeRegistry& reg) {
  const std::optional<FakeRegValue> count = reg.Get(kKey, "Count");
  if (!count) return 0;
  if (count->type != kRegDword || count->data.size() > 4) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < count->data.size(); ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(count->data[i])) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

// The counted line values, by index; every line value with `all`.
std::map<int, Stored> CountedLines(const FakeRegistry& reg, bool all = false) {
  const std::optional<int64_t> bound = all ? std::nullopt : CountBound(reg);
  std::map<int, Stored> lines;
  for (const std::string& name : reg.Names(kKey)) {
    const std::optional<int> index = TaskLineIndex(name);
    if (!index || (bound && *index >= *bound)) continue;
    const FakeRegValue value = *reg.Get(kKey, name);
    lines[*index] = {value.type, value.data};
  }
  return lines;
}

void Fail(FakeRegistry& reg, Input& in, uint8_t what) {
  if (what & 0x01) reg.FailQuery(NameFrom(in));
  if (what & 0x02) reg.FailValueNames(true);
  if (what & 0x04) reg.FailWriteNumber(in.Byte() % 12 + 1);
  if ((what & 0x18) == 0x18) reg.FailCreateKey(true);
}

void Edit(VectorTaskList& list, Input& in) {
  for (int edits = in.Byte() % 4; edits > 0; --edits) {
    const uint8_t op = in.Byte();
    const std::string line = op & 0x40 ? "* kept " + std::to_string(op) : "\"C:\\Tools\\run.exe\" " + std::to_string(op);
    if (op % 3 == 0 || list.Count() == 0) {
      list.Append(line);
    } else if (op % 3 == 1) {
      list.Delete(op / 3 % list.Count());
    } else {
      list.Replace(op / 3 % list.Count(), line);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  FakeRegistry reg;
  for (int values = in.Byte() % (kMaxValues + 1); values > 0; --values) {
    const std::string name = NameFrom(in);
    const uint32_t type = TypeFrom(in);
    reg.Put(kKey, name, type, in.Bytes(in.Byte() % 16));
  }
  FakeFileSystem& fs = FuzzFileSystem();

  for (int run = 0; run < kMaxRuns && !in.Empty(); ++run) {
    const std::map<int, Stored> before = CountedLines(reg);
    const std::map<int, Stored> everyLine = CountedLines(reg, true);
    const uint8_t atLoad = in.Byte();
    Fail(reg, in, atLoad);
    TaskStore store(reg, fs);
    VectorTaskList list;
    bool minimize = false;
    bool stopped = (atLoad & 0x18) == 0x18;  // the key could not be opened
    try {
      store.Load(list, minimize);
    } catch (const ERegistryException&) {
      stopped = true;
    }
    FUZZ_CHECK(reg.OpenKeys() == 0);

    // A load that stopped brought in the first lines, as many as the list holds.
    // Those it did not bring in are kept; a save that cannot read Count keeps the
    // values beyond it too, but none more often than it is stored.
    Bag unloaded, keepable;
    if (stopped) {
      int brought = list.Count();
      for (const auto& [index, value] : everyLine) ++keepable[value];
      for (const auto& [index, value] : before) {
        if (brought > 0) {
          --brought;
          --keepable[value];
        } else {
          ++unloaded[value];
        }
      }
    }

    bool keyUnopenable = (atLoad & 0x18) == 0x18;
    for (int save = 0; save < kMaxSaves; ++save) {
      Edit(list, in);
      minimize = in.Byte() & 1;
      const uint8_t atSave = in.Byte();
      if (atSave & 0x80) reg.ClearFailures();
      Fail(reg, in, atSave);
      // A key that cannot be opened saves nothing, silently; the load's failures
      // last until cleared.
      const bool refused = (atSave & 0x18) == 0x18 || (!(atSave & 0x80) && keyUnopenable);
      keyUnopenable = false;
      bool saved = !refused;
      try {
        store.Save(list, minimize);
      } catch (const ERegistryException&) {
        saved = false;
      }
      reg.ClearFailures();
      FUZZ_CHECK(reg.OpenKeys() == 0);

      const std::map<int, Stored> after = CountedLines(reg);
      Bag kept;
      for (const auto& [index, value] : after) ++kept[value];
      if (stopped && saved) {
        // The list first, as it was (nothing in it is a marker), then what was kept,
        // each once.
        for (int i = 0; i < list.Count(); ++i) {
          const auto it = after.find(i);
          FUZZ_CHECK(it != after.end() && it->second == Stored(kRegSz, list.Item(i) + '\0'));
          --kept[it->second];
        }
        for (const auto& [value, times] : kept) FUZZ_CHECK(times <= (keepable.count(value) ? keepable.at(value) : 0));
      }
      for (const auto& [value, times] : unloaded) FUZZ_CHECK(kept[value] >= times);
      // Ends the run, as the exit's save does: the program is killed, or ends.
      if (in.Byte() & 1) break;
    }
  }
  return 0;
}

// The store's load, normalisation and save over an in-memory registry that the
// input fills (names, types, sizes, data) and makes fail. Checked: keys are always
// closed, the work is bounded by the key's content whatever Count says, a save that
// succeeds leaves exactly the list in the key, and loading that again normalises it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/fakes/FakeRegistry.h"
#include "core/tasks/TaskLine.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskStore.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzFileSystem.h"
#include "fuzz/TaskStoreInput.h"
#include "library/HLVTextRoutines.h"

using namespace velquin;
using namespace velquin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const std::string key(kTaskStoreKeyPath);
  FakeRegistry reg;
  const uint8_t failures = in.Byte();
  const std::string failName = NameFrom(in);
  const uint8_t failWrite = in.Byte();
  const bool failing = failures & 0x80;
  if (failing) {
    if (failures & 0x01) reg.FailQuery(failName);
    if (failures & 0x02) reg.FailWrite(failName);
    if (failures & 0x04) reg.FailWriteNumber(failWrite % 16 + 1);
    if (failures & 0x08) reg.FailValueNames(true);
    if ((failures & 0x30) == 0x30) reg.FailCreateKey(true);
  }
  size_t values = 0;
  while (!in.Empty()) {
    const std::string name = NameFrom(in);
    const uint32_t type = TypeFrom(in);
    const size_t length = in.Byte();
    reg.Put(key, name, type, in.Bytes(length));
    ++values;
  }

  FakeFileSystem& fs = FuzzFileSystem();
  TaskStore store(reg, fs);
  VectorTaskList list;
  bool minimize = false;
  const auto succeeds = [](auto run) {
    try {
      run();
      return true;
    } catch (const ERegistryException&) {
      return false;
    }
  };
  const bool loaded = succeeds([&] { store.Load(list, minimize); });
  FUZZ_CHECK(reg.OpenKeys() == 0);
  FUZZ_CHECK(static_cast<size_t>(list.Count()) <= values);
  FUZZ_CHECK(reg.Journal().size() <= 3 * values + 8);

  reg.ClearJournal();
  const bool saved = succeeds([&] { store.Save(list, minimize); });
  FUZZ_CHECK(reg.OpenKeys() == 0);
  // A save after a load that stopped may read, copy and delete each value.
  FUZZ_CHECK(reg.Journal().size() <= 3 * values + static_cast<size_t>(list.Count()) + 8);
  // What such a save keeps is checked by fuzz_task_store_sessions.
  if (failing || !saved || !loaded) return 0;

  FUZZ_CHECK(reg.GetDword(key, "Count") == list.Count());
  std::vector<std::string> expected;  // what loading the saved key must give
  for (int i = 0; i < list.Count(); ++i) {
    std::string line = list.Item(i);
    if (line.rfind("* ", 0) == 0) line.erase(0, 2);
    FUZZ_CHECK(reg.GetString(key, "APP" + std::to_string(i)) == line);
    std::string fileName, params;
    if (line.empty()) continue;
    expected.push_back(ParseTaskLine(fs, line, fileName, params) ? Trim(fileName + ' ' + params)
                                                                  : "* " + line);
  }
  FUZZ_CHECK(reg.GetDword(key, "MinimizeWhenStart") == (minimize ? 1 : 0));

  VectorTaskList again;
  bool minimizeAgain = !minimize;
  store.Load(again, minimizeAgain);
  FUZZ_CHECK(again.Lines() == expected);
  FUZZ_CHECK(minimizeAgain == minimize);
  // A list that was loaded and normalised comes back as it was, but for the rare name
  // that holds a quote (taken out again by ".."), whose normal form reads differently.
  if (loaded && again.Lines() != list.Lines()) {
    for (int i = 0; i < list.Count(); ++i) {
      const std::string& line = list.Lines()[i];
      FUZZ_CHECK(again.Lines()[i] == line || (line[0] == '"' && line.find('"', 1) != line.rfind('"')));
    }
  }
  return 0;
}

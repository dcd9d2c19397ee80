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
#include "library/HLVTextRoutines.h"

namespace {

using namespace velquin;

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Bytes(size_t count) {
    count = std::min(count, size_ - std::min(pos_, size_));
    std::string bytes(reinterpret_cast<const char*>(data_) + pos_, count);
    pos_ += count;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

const char* const kOddNames[] = {"APP01", "app2", "APP2147483646", "APP-1", "APP", "App0",
                                 "APP4294967296", "Count ", "minimizewhenstart"};
const uint32_t kTypes[] = {kRegSz, kRegExpandSz, kRegDword, kRegBinary,
                           kRegMultiSz, kRegNone, kRegQword, kRegDwordBigEndian};

std::string NameFrom(Input& in) {
  const uint8_t selector = in.Byte();
  switch (selector % 4) {
    case 0: return "Count";
    case 1: return "MinimizeWhenStart";
    case 2: return kOddNames[(selector / 4) % std::size(kOddNames)];
    default: return "APP" + std::to_string(selector / 4 % 12);
  }
}

}  // namespace

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
    const uint8_t typeByte = in.Byte();
    const uint32_t type = typeByte < 0xF0 ? kTypes[typeByte % std::size(kTypes)] : typeByte;
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
  FUZZ_CHECK(reg.Journal().size() <= 2 * values + static_cast<size_t>(list.Count()) + 8);
  if (failing || !saved) return 0;

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

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/fakes/FakeRegistry.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskStore.h"
#include "tests/support/StoreMessages.h"

namespace velquin {
namespace {

using Lines = std::vector<std::string>;

using test::ReadFailed;
using test::WriteFailed;
using test::WrongType;

// The message of the ERegistryException that `run` throws; "" when none.
template <class Run>
std::string ErrorOf(Run run) {
  try {
    run();
  } catch (const ERegistryException& error) {
    return error.Message();
  }
  return "";
}

// The writes and deletes in the registry's journal.
Lines ChangesIn(const FakeRegistry& reg) {
  Lines changes;
  for (const std::string& entry : reg.Journal()) {
    if (entry.rfind("Set", 0) == 0 || entry.rfind("Delete", 0) == 0) changes.push_back(entry);
  }
  return changes;
}

// Count and the values it counts, in index order: "Count=3", "APP0=text",
// "APP1=#7" for a REG_DWORD, "APP2=(type 3, 2 bytes)" for anything else.
Lines StoredLines(const FakeRegistry& reg, const std::string& key) {
  const std::optional<int32_t> count = reg.GetDword(key, "Count");
  if (!count) return {"no Count"};
  Lines lines{"Count=" + std::to_string(*count)};
  for (int i = 0; i < *count; ++i) {
    const std::string name = "APP" + std::to_string(i);
    const std::optional<FakeRegValue> value = reg.Get(key, name);
    if (!value) continue;
    std::string shown;
    if (value->type == kRegSz) {
      shown = *reg.GetString(key, name);
    } else if (const std::optional<int32_t> number = reg.GetDword(key, name)) {
      shown = "#" + std::to_string(*number);
    } else {
      shown = "(type " + std::to_string(value->type) + ", " + std::to_string(value->data.size()) + " bytes)";
    }
    lines.push_back(name + "=" + shown);
  }
  return lines;
}

class TaskStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.AddFile("C:\\Tools\\run.exe");
    fs_.AddFile("C:\\Tools\\other.exe");
  }
  void TearDown() override { EXPECT_EQ(reg_.OpenKeys(), 0) << "a key was left open"; }

  void PutLines(const Lines& lines) {
    reg_.PutDword(key_, "Count", static_cast<int32_t>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) reg_.PutString(key_, "APP" + std::to_string(i), lines[i]);
  }
  std::string Load() { return ErrorOf([this] { store_.Load(list_, minimize_); }); }
  std::string Save() { return ErrorOf([this] { store_.Save(list_, minimize_); }); }
  Lines Changes() const { return ChangesIn(reg_); }

  const std::string key_{kTaskStoreKeyPath};
  FakeRegistry reg_;
  FakeFileSystem fs_;
  VectorTaskList list_;
  bool minimize_ = false;
  TaskStore store_{reg_, fs_};
};

TEST_F(TaskStoreTest, FirstStartCreatesTheKeyWithCountZero) {
  minimize_ = true;
  EXPECT_EQ(Load(), "");
  EXPECT_TRUE(reg_.HasKey(key_));
  EXPECT_EQ(reg_.GetDword(key_, "Count"), 0);
  EXPECT_TRUE(list_.Lines().empty());
  EXPECT_FALSE(minimize_);
  EXPECT_FALSE(reg_.Get(key_, "MinimizeWhenStart"));  // not created by the load

  EXPECT_EQ(Save(), "");
  EXPECT_EQ(reg_.GetDword(key_, "Count"), 0);
  EXPECT_EQ(reg_.GetDword(key_, "MinimizeWhenStart"), 0);
  EXPECT_EQ(reg_.Names(key_).size(), 2u);
}

TEST_F(TaskStoreTest, LoadNormalisesMarksAndDrops) {
  PutLines({"C:\\Tools\\run.exe -a", "C:\\gone.exe -x", "", "   ", "\"C:\\Tools\\run.exe\" a * b",
            "C:\\Tools\\other.exe"});
  reg_.PutDword(key_, "MinimizeWhenStart", 2);
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(list_.Lines(), (Lines{"\"C:\\Tools\\run.exe\" -a", "* C:\\gone.exe -x", "*    ",
                                  "\"C:\\Tools\\run.exe\" a * b", "\"C:\\Tools\\other.exe\""}));
  EXPECT_TRUE(minimize_);

  reg_.ClearJournal();
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"DeleteValue APP5", "SetDword Count=5",
                              "SetString APP0=\"C:\\Tools\\run.exe\" -a",
                              "SetString APP1=C:\\gone.exe -x", "SetString APP2=   ",
                              "SetString APP3=\"C:\\Tools\\run.exe\" a * b",
                              "SetString APP4=\"C:\\Tools\\other.exe\"",
                              "SetDword MinimizeWhenStart=1"}));
  EXPECT_EQ(reg_.Journal().back(), "Close");
}

TEST_F(TaskStoreTest, MissingIndexesAreSkippedNotCreated) {
  reg_.PutDword(key_, "Count", 3);
  reg_.PutString(key_, "APP0", "C:\\Tools\\run.exe");
  reg_.PutString(key_, "APP2", "C:\\Tools\\other.exe");
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(list_.Lines(), (Lines{"\"C:\\Tools\\run.exe\"", "\"C:\\Tools\\other.exe\""}));
  EXPECT_FALSE(reg_.Get(key_, "APP1"));

  reg_.ClearJournal();
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"DeleteValue APP2", "SetDword Count=2",
                              "SetString APP0=\"C:\\Tools\\run.exe\"",
                              "SetString APP1=\"C:\\Tools\\other.exe\"",
                              "SetDword MinimizeWhenStart=0"}));
}

TEST_F(TaskStoreTest, SaveDeletesSurplusValuesHighestFirst) {
  PutLines({"a", "b", "c", "d", "e"});
  reg_.PutString(key_, "APP7", "beyond Count: left alone");
  list_ = VectorTaskList({"*x", "* * y"});  // only a leading "* " is the marker
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"DeleteValue APP4", "DeleteValue APP3", "DeleteValue APP2",
                              "SetDword Count=2", "SetString APP0=*x", "SetString APP1=* y",
                              "SetDword MinimizeWhenStart=0"}));
  EXPECT_EQ(reg_.GetString(key_, "APP7"), "beyond Count: left alone");
}

TEST_F(TaskStoreTest, NegativeCountLoadsAndDeletesNothing) {
  reg_.PutDword(key_, "Count", -5);
  reg_.PutString(key_, "APP0", "C:\\Tools\\run.exe");
  EXPECT_EQ(Load(), "");
  EXPECT_TRUE(list_.Lines().empty());
  reg_.ClearJournal();
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"SetDword Count=0", "SetDword MinimizeWhenStart=0"}));
  EXPECT_TRUE(reg_.Get(key_, "APP0"));
}

TEST_F(TaskStoreTest, CorruptCountCostsOnlyWhatExists) {
  reg_.PutDword(key_, "Count", INT32_MAX);
  reg_.PutString(key_, "APP0", "C:\\Tools\\run.exe");
  reg_.PutString(key_, "app1", "C:\\Tools\\other.exe");  // names ignore case
  reg_.PutString(key_, "APP2000000000", "C:\\Tools\\run.exe -far");
  for (const char* odd : {"APP", "APP01", "APP-3", "APP+3", "APP 3", "APP3x", "APP99999999999",
                          "XAPP3"}) {
    reg_.PutString(key_, odd, "C:\\Tools\\run.exe -odd");
  }
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(list_.Lines(), (Lines{"\"C:\\Tools\\run.exe\"", "\"C:\\Tools\\other.exe\"",
                                  "\"C:\\Tools\\run.exe\" -far"}));
  EXPECT_LT(reg_.Journal().size(), 20u);

  reg_.ClearJournal();
  list_.Delete(2);
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes().front(), "DeleteValue APP2000000000");
  EXPECT_LT(reg_.Journal().size(), 20u);
  EXPECT_TRUE(reg_.Get(key_, "APP01"));
}

TEST_F(TaskStoreTest, NumberValuesReadFromUpToFourBytesOfRegDword) {
  struct Case {
    uint32_t type;
    std::string data;
    int lines;           // lines loaded out of three
    std::string error;
  } cases[] = {
      {kRegDword, std::string("\x02\0\0\0", 4), 2, ""},
      {kRegDword, "\x03", 3, ""},  // fewer bytes are zero-filled
      {kRegDword, "", 0, ""},
      {kRegDword, std::string("\x01\0\0\0\0", 5), 0, ReadFailed("Count")},
      {kRegSz, std::string("12\0", 3), 0, WrongType("Count")},
      {kRegSz, std::string("1234\0", 5), 0, ReadFailed("Count")},  // size comes first
      {kRegBinary, std::string("\x01\0\0\0", 4), 0, WrongType("Count")},
      {kRegDwordBigEndian, std::string("\0\0\0\x01", 4), 0, WrongType("Count")},
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    reg.Put(key_, "Count", c.type, c.data);
    for (int i = 0; i < 3; ++i) reg.PutString(key_, "APP" + std::to_string(i), "C:\\Tools\\run.exe");
    VectorTaskList list;
    TaskStore store(reg, fs_);
    bool minimize = true;
    const std::string error = ErrorOf([&] { store.Load(list, minimize); });
    EXPECT_EQ(error, c.error) << c.data.size() << " bytes of type " << c.type;
    EXPECT_EQ(list.Count(), c.lines) << c.data.size() << " bytes of type " << c.type;
    EXPECT_EQ(minimize, !c.error.empty()) << "the option is set only when the load gets to it";
    EXPECT_EQ(reg.OpenKeys(), 0);
  }
}

TEST_F(TaskStoreTest, StringValues) {
  struct Case {
    uint32_t type;
    std::string data;
    Lines lines;
    std::string error;
  } cases[] = {
      {kRegSz, "C:\\Tools\\run.exe", {"\"C:\\Tools\\run.exe\""}, ""},  // no terminating NUL
      {kRegSz, std::string("C:\\Tools\\run.exe\0-gone\0", 23), {"\"C:\\Tools\\run.exe\""}, ""},
      {kRegExpandSz, std::string("%WINDIR%\\x.exe\0", 15), {"* %WINDIR%\\x.exe"}, ""},
      {kRegBinary, "", {}, ""},  // empty data reads as an empty line of any type
      {kRegDword, std::string("\x01\0\0\0", 4), {}, WrongType("APP0")},
      {kRegMultiSz, std::string("a\0\0", 3), {}, WrongType("APP0")},
      {kRegSz, "C:\\caf\xE9.exe", {}, ReadFailed("APP0")},  // a character code page 932 cannot hold
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 1);
    reg.Put(key_, "APP0", c.type, c.data);
    VectorTaskList list;
    TaskStore store(reg, fs_);
    bool minimize = false;
    const std::string error = ErrorOf([&] { store.Load(list, minimize); });
    EXPECT_EQ(error, c.error) << "type " << c.type;
    EXPECT_EQ(list.Lines(), c.lines) << "type " << c.type;
  }
}

TEST_F(TaskStoreTest, AWrongTypeStopsTheLoadWithEarlierLinesRaw) {
  PutLines({"C:\\Tools\\run.exe -a", "C:\\Tools\\other.exe", "x", "y"});
  reg_.PutDword(key_, "APP2", 7);
  reg_.PutDword(key_, "MinimizeWhenStart", 1);
  EXPECT_EQ(Load(), WrongType("APP2"));
  EXPECT_EQ(list_.Lines(), (Lines{"C:\\Tools\\run.exe -a", "C:\\Tools\\other.exe"}));
  EXPECT_FALSE(minimize_);
  EXPECT_EQ(list_.ScrollWidth(), 19 * 7);
}

TEST_F(TaskStoreTest, FailingReadsAtLoad) {
  PutLines({"C:\\Tools\\run.exe", "C:\\Tools\\other.exe"});
  reg_.FailQuery("APP1");
  EXPECT_EQ(Load(), ReadFailed("APP1"));
  EXPECT_EQ(list_.Lines(), Lines{"C:\\Tools\\run.exe"});
  EXPECT_EQ(reg_.GetString(key_, "APP1"), "C:\\Tools\\other.exe");  // not overwritten

  reg_.ClearFailures();
  reg_.FailQuery("Count");
  list_ = VectorTaskList();
  EXPECT_EQ(Load(), ReadFailed("Count"));
  EXPECT_EQ(reg_.GetDword(key_, "Count"), 2);  // a failing read is no missing value

  reg_.ClearFailures();
  reg_.FailQuery("MinimizeWhenStart");
  reg_.PutDword(key_, "MinimizeWhenStart", 1);
  EXPECT_EQ(Load(), "");
  EXPECT_FALSE(minimize_);

  reg_.ClearFailures();
  reg_.FailValueNames(true);
  list_ = VectorTaskList();
  EXPECT_EQ(Load(), ReadFailed("APP0"));
  EXPECT_TRUE(list_.Lines().empty());
}

TEST_F(TaskStoreTest, FailingCountWriteAtFirstStart) {
  reg_.FailWrite("Count");
  EXPECT_EQ(Load(), WriteFailed("Count"));
}

TEST_F(TaskStoreTest, UnopenableKeyLoadsNothingAndSavesNothing) {
  PutLines({"C:\\Tools\\run.exe"});
  reg_.FailCreateKey(true);
  minimize_ = true;
  EXPECT_EQ(Load(), "");
  EXPECT_TRUE(list_.Lines().empty());
  EXPECT_FALSE(minimize_);
  list_.Append("x");
  EXPECT_EQ(Save(), "");
  EXPECT_TRUE(reg_.Journal().empty());
}

TEST_F(TaskStoreTest, AFailingWriteStopsTheSaveWhereItHappens) {
  struct Case {
    long failingWrite;
    std::string error;
    Lines changes;
  } cases[] = {
      {1, WriteFailed("Count"), {"DeleteValue APP2", "SetDword Count=2"}},
      {3, WriteFailed("APP1"),
       {"DeleteValue APP2", "SetDword Count=2", "SetString APP0=a", "SetString APP1=b"}},
      {4, WriteFailed("MinimizeWhenStart"),
       {"DeleteValue APP2", "SetDword Count=2", "SetString APP0=a", "SetString APP1=b",
        "SetDword MinimizeWhenStart=0"}},
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 3);
    for (const char* name : {"APP0", "APP1", "APP2"}) reg.PutString(key_, name, "old");
    reg.FailWriteNumber(c.failingWrite);
    TaskStore store(reg, fs_);
    const std::string error = ErrorOf([&] { store.Save(VectorTaskList({"a", "b"}), false); });
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(ChangesIn(reg), c.changes) << "write " << c.failingWrite;
    EXPECT_EQ(reg.Journal().back(), "Close");
  }
}

TEST_F(TaskStoreTest, CountGoneAtSaveStillWritesTheList) {
  PutLines({"old", "old", "old"});
  reg_.EraseKey(key_);  // emptied while the program ran
  list_ = VectorTaskList({"a", "* b"});
  minimize_ = true;
  EXPECT_EQ(Save(), ReadFailed("Count"));
  EXPECT_EQ(reg_.GetDword(key_, "Count"), 2);
  EXPECT_EQ(reg_.GetString(key_, "APP0"), "a");
  EXPECT_EQ(reg_.GetString(key_, "APP1"), "b");
  EXPECT_EQ(reg_.GetDword(key_, "MinimizeWhenStart"), 1);
}

// A Count that exists but cannot be read may count lines that were never loaded:
// nothing is written, so they survive until the value is mended.
TEST_F(TaskStoreTest, UnreadableCountAtSaveWritesNothing) {
  struct Case {
    const char* what;
    void (*spoil)(FakeRegistry&, const std::string&);
    std::string error;
  } cases[] = {
      {"string Count", [](FakeRegistry& r, const std::string& k) { r.PutString(k, "Count", "2"); },
       WrongType("Count")},
      {"failing read", [](FakeRegistry& r, const std::string&) { r.FailQuery("Count"); },
       ReadFailed("Count")},
      // A counted line of the wrong type or failing to read stopped the load before
      // the lines after it; a longer list would overwrite it, a shorter one delete it.
      {"number line", [](FakeRegistry& r, const std::string& k) { r.PutDword(k, "APP1", 7); }, WrongType("APP1")},
      {"binary line", [](FakeRegistry& r, const std::string& k) { r.Put(k, "APP1", kRegBinary, "xx"); },
       WrongType("APP1")},
      {"unreadable line", [](FakeRegistry& r, const std::string&) { r.FailQuery("APP2"); }, ReadFailed("APP2")},
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 3);
    for (const char* name : {"APP0", "APP1", "APP2"}) reg.PutString(key_, name, "old");
    c.spoil(reg, key_);
    TaskStore store(reg, fs_);
    const std::string error = ErrorOf([&] { store.Save(VectorTaskList({"a", "* b"}), true); });
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_EQ(ChangesIn(reg), Lines{}) << c.what;
    EXPECT_EQ(reg.Journal().back(), "Close") << c.what;
  }
}

TEST_F(TaskStoreTest, UnreadableValuesOutsideTheCountDoNotStopTheSave) {
  PutLines({"a", "b"});
  reg_.PutDword(key_, "APP5", 7);                  // beyond Count: never read
  reg_.Put(key_, "APP1", kRegBinary, "");          // empty data reads as an empty line
  list_ = VectorTaskList({"x"});
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"DeleteValue APP1", "SetDword Count=1", "SetString APP0=x", "SetDword MinimizeWhenStart=0"}));
}

TEST_F(TaskStoreTest, UnlistableKeyAtSaveDeletesNothing) {
  PutLines({"a", "b", "c"});
  reg_.FailValueNames(true);
  list_ = VectorTaskList({"x"});
  EXPECT_EQ(Save(), "");
  EXPECT_EQ(Changes(), (Lines{"SetDword Count=1", "SetString APP0=x", "SetDword MinimizeWhenStart=0"}));
}

// A load that stops early, an edit, the save at exit and the next start. The lines
// the load never brought in are kept after the list, unchanged, with Count covering
// both; the option it never read stays as stored while the box is unticked.
TEST_F(TaskStoreTest, TheSaveAfterALoadThatStoppedKeepsWhatWasNeverLoaded) {
  using Spoil = std::function<void(FakeRegistry&)>;
  const Spoil none = [](FakeRegistry&) {};
  const Spoil clear = [](FakeRegistry& r) { r.ClearFailures(); };
  const std::string run = "C:\\Tools\\run.exe -a", other = "C:\\Tools\\other.exe", gone = "C:\\gone.exe x";
  const std::string added = "\"C:\\Tools\\run.exe\" new";  // as the add command leaves it
  const Lines normalised{"\"C:\\Tools\\run.exe\" -a", "\"C:\\Tools\\other.exe\"", "* " + gone};
  const Lines untouched{"Count=3", "APP0=" + run, "APP1=" + other, "APP2=" + gone};
  const Lines savedWhole{"Count=4", "APP0=" + normalised[0], "APP1=" + normalised[1], "APP2=" + gone, "APP3=" + added};
  const Lines againWhole{normalised[0], normalised[1], normalised[2], added};
  const Lines appendedFirst{"Count=4", "APP0=" + added, "APP1=" + run, "APP2=" + other, "APP3=" + gone};
  const Lines againFirst{added, normalised[0], normalised[1], normalised[2]};
  struct Row {
    const char* what;
    Spoil beforeLoad, beforeSave;
    std::string loadError;
    Lines loaded;
    std::string saveError;
    Lines stored;
    std::string againError;
    Lines again;
  } rows[] = {
      {"wrong type in the middle", [](FakeRegistry& r) { r.PutDword(kTaskStoreKeyPath, "APP1", 7); }, none,
       WrongType("APP1"), {run}, "",
       {"Count=4", "APP0=" + run, "APP1=" + added, "APP2=#7", "APP3=" + gone},
       WrongType("APP2"), {run, added}},
      {"Count of 8 bytes",
       [](FakeRegistry& r) { r.Put(kTaskStoreKeyPath, "Count", kRegQword, std::string("\x03\0\0\0\0\0\0\0", 8)); },
       none, ReadFailed("Count"), {}, "", appendedFirst, "", againFirst},
      {"Count far too high (the load finishes)", [](FakeRegistry& r) { r.PutDword(kTaskStoreKeyPath, "Count", INT32_MAX); },
       none, "", normalised, "", savedWhole, "", againWhole},
      {"read fails once", [](FakeRegistry& r) { r.FailQuery("APP1"); }, clear, ReadFailed("APP1"), {run}, "",
       {"Count=4", "APP0=" + run, "APP1=" + added, "APP2=" + other, "APP3=" + gone}, "",
       {normalised[0], added, normalised[1], normalised[2]}},
      {"read fails at exit too", [](FakeRegistry& r) { r.FailQuery("APP1"); }, none, ReadFailed("APP1"), {run},
       ReadFailed("APP1"), untouched, "", normalised},
      {"listing fails once", [](FakeRegistry& r) { r.FailValueNames(true); }, clear, ReadFailed("APP0"), {}, "",
       appendedFirst, "", againFirst},
      {"listing fails at exit too", [](FakeRegistry& r) { r.FailValueNames(true); }, none, ReadFailed("APP0"), {},
       ReadFailed("APP0"), untouched, "", normalised},
      {"key unopenable at start", [](FakeRegistry& r) { r.FailCreateKey(true); }, clear, "", {}, "",
       appendedFirst, "", againFirst},
      {"a text code page 932 cannot hold", [](FakeRegistry& r) { r.PutString(kTaskStoreKeyPath, "APP1", "caf\xE9"); },
       none, ReadFailed("APP1"), {run}, "", {"Count=4", "APP0=" + run, "APP1=" + added, "APP2=caf\xE9", "APP3=" + gone},
       ReadFailed("APP2"), {run, added}},
      {"nothing wrong", none, none, "", normalised, "", savedWhole, "", againWhole},
  };
  for (const Row& row : rows) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 3);
    reg.PutString(key_, "APP0", run);
    reg.PutString(key_, "APP1", other);
    reg.PutString(key_, "APP2", gone);
    reg.PutDword(key_, "MinimizeWhenStart", 1);
    row.beforeLoad(reg);
    TaskStore store(reg, fs_);
    VectorTaskList list;
    bool minimize = false;
    EXPECT_EQ(ErrorOf([&] { store.Load(list, minimize); }), row.loadError) << row.what;
    EXPECT_EQ(list.Lines(), row.loaded) << row.what;

    list.Append(added);
    row.beforeSave(reg);
    EXPECT_EQ(ErrorOf([&] { store.Save(list, minimize); }), row.saveError) << row.what;
    EXPECT_EQ(StoredLines(reg, key_), row.stored) << row.what;
    EXPECT_EQ(reg.GetDword(key_, "MinimizeWhenStart"), 1) << row.what;

    reg.ClearFailures();
    TaskStore next(reg, fs_);
    VectorTaskList again;
    EXPECT_EQ(ErrorOf([&] { next.Load(again, minimize); }), row.againError) << row.what;
    EXPECT_EQ(again.Lines(), row.again) << row.what;
    EXPECT_EQ(reg.OpenKeys(), 0) << row.what;
  }
}

// Saves at each edit after a load that stopped: the first is refused at one of its
// writes, the next succeeds. The lines the load never brought in end up after the
// list, each once, wherever the refused save left them.
TEST_F(TaskStoreTest, EditTimeSavesAfterALoadThatStoppedKeepEachUnloadedLineOnce) {
  using Edit = std::function<void(VectorTaskList&)>;
  const Edit deleteFirst = [](VectorTaskList& l) { l.Delete(0); };
  const Edit appendTwo = [](VectorTaskList& l) { l.Append("x"), l.Append("y"); };
  const Edit deleteLast = [](VectorTaskList& l) { l.Delete(l.Count() - 1); };
  const Lines unloaded{"APP=#7", "APP=c", "APP=d", "APP=e"};
  struct Row {
    const char* what;
    Edit first;
    long failingWrite;  // of the first save
    Edit second;
    Lines list;  // after both edits
  } rows[] = {
      {"shrunk, first copy refused", deleteFirst, 1, appendTwo, {"x", "y"}},
      {"shrunk, third copy refused", deleteFirst, 3, appendTwo, {"x", "y"}},
      {"shrunk, Count refused", deleteFirst, 5, appendTwo, {"x", "y"}},
      {"grown, Count refused", appendTwo, 1, deleteLast, {"run", "x"}},
      {"grown, second copy refused", appendTwo, 3, deleteLast, {"run", "x"}},
      {"grown, last copy refused", appendTwo, 5, deleteLast, {"run", "x"}},
      {"grown, a line refused", appendTwo, 7, deleteLast, {"run", "x"}},
      {"grown, nothing refused", appendTwo, 0, deleteLast, {"run", "x"}},
  };
  for (const Row& row : rows) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 5);
    reg.PutString(key_, "APP0", "run");
    reg.PutDword(key_, "APP1", 7);
    reg.PutString(key_, "APP2", "c");
    reg.PutString(key_, "APP3", "d");
    reg.PutString(key_, "APP4", "e");
    TaskStore store(reg, fs_);
    VectorTaskList list;
    bool minimize = false;
    ASSERT_EQ(ErrorOf([&] { store.Load(list, minimize); }), WrongType("APP1"));

    row.first(list);
    reg.FailWriteNumber(row.failingWrite);
    EXPECT_EQ(ErrorOf([&] { store.Save(list, minimize); }).empty(), row.failingWrite == 0) << row.what;
    reg.ClearFailures();
    row.second(list);
    EXPECT_EQ(ErrorOf([&] { store.Save(list, minimize); }), "") << row.what;

    Lines expected{"Count=" + std::to_string(row.list.size() + unloaded.size())};
    for (const std::string& line : row.list) expected.push_back(line);
    for (const std::string& line : unloaded) expected.push_back(line);
    for (size_t i = 0; i < expected.size() - 1; ++i) {
      std::string& line = expected[i + 1];
      line = "APP" + std::to_string(i) + "=" + (line.rfind("APP=", 0) == 0 ? line.substr(4) : line);
    }
    EXPECT_EQ(StoredLines(reg, key_), expected) << row.what;
    EXPECT_FALSE(reg.Get(key_, "APP" + std::to_string(expected.size() - 1))) << row.what << ": a stale copy";
  }
}

// The kept values are copied before their places are written over, and Count
// covers every value throughout; a raw line is written as it was read.
TEST_F(TaskStoreTest, KeptValuesMoveWithoutEverLeavingTheCount) {
  struct Case {
    const char* what;
    Lines list;
    bool minimize;
    Lines changes;
  } cases[] = {
      {"list grows", {"* raw", "x", "y"}, true,
       {"SetDword Count=5", "SetValue APP4 type 1, 2 bytes", "SetValue APP3 type 4, 4 bytes",
        "SetString APP0=* raw", "SetString APP1=x", "SetString APP2=y", "SetDword MinimizeWhenStart=1"}},
      {"list emptied", {}, false,
       {"SetValue APP0 type 4, 4 bytes", "SetValue APP1 type 1, 2 bytes", "SetDword Count=2",
        "DeleteValue APP3", "DeleteValue APP2"}},
  };
  for (const Case& c : cases) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", 4);
    reg.PutString(key_, "APP0", "* raw");
    reg.PutDword(key_, "APP2", 7);
    reg.PutString(key_, "APP3", "d");
    TaskStore store(reg, fs_);
    VectorTaskList loaded;
    bool minimize = false;
    ASSERT_EQ(ErrorOf([&] { store.Load(loaded, minimize); }), WrongType("APP2"));
    reg.ClearJournal();
    EXPECT_EQ(ErrorOf([&] { store.Save(VectorTaskList(c.list), c.minimize); }), "") << c.what;
    EXPECT_EQ(ChangesIn(reg), c.changes) << c.what;
  }
}

// The scroll range fits the lines as the list shows them: normalised and marked
// after a load, as read when the load stopped.
TEST_F(TaskStoreTest, ScrollWidthFitsTheLinesAsShown) {
  struct Row {
    const char* what;
    Lines stored;
    bool stopAtSecond;
    int width;
  } rows[] = {
      {"marked", {std::string(100, 'x'), "C:\\Tools\\run.exe    "}, false, 102 * 7},
      {"quoted and trimmed", {"C:\\Tools\\run.exe" + std::string(30, ' ')}, false, 18 * 7},
      {"stopped: as read", {"C:\\Tools\\run.exe" + std::string(30, ' '), "x"}, true, 46 * 7},
  };
  for (const Row& row : rows) {
    FakeRegistry reg;
    reg.PutDword(key_, "Count", static_cast<int32_t>(row.stored.size()));
    for (size_t i = 0; i < row.stored.size(); ++i) reg.PutString(key_, "APP" + std::to_string(i), row.stored[i]);
    if (row.stopAtSecond) reg.FailQuery("APP1");
    TaskStore store(reg, fs_);
    VectorTaskList list;
    bool minimize = false;
    ErrorOf([&] { store.Load(list, minimize); });
    EXPECT_EQ(list.ScrollWidth(), row.width) << row.what;
  }
}

TEST(UpdateScrollWidth, OnlyWidens) {
  VectorTaskList list({std::string(10, 'a'), "\x82\xA0\x82\xA2"});
  for (int index : {1, 0, 1, 2, -1}) UpdateScrollWidth(list, index);  // 28, 70, and no more
  EXPECT_EQ(list.ScrollWidth(), 70);
  list.Replace(0, "a");
  UpdateScrollWidth(list, 0);
  EXPECT_EQ(list.ScrollWidth(), 70);
}

}  // namespace
}  // namespace velquin

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/fakes/FakeRegistry.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskStore.h"

namespace velquin {
namespace {

using Lines = std::vector<std::string>;

std::string ReadFailed(const std::string& name) { return "'" + name + "' の取得に失敗しました"; }
std::string WrongType(const std::string& name) { return "'" + name + "' のデータ型が不正です"; }
std::string WriteFailed(const std::string& name) { return "'" + name + "' の設定に失敗しました"; }

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

TEST_F(TaskStoreTest, ScrollWidthFitsTheLinesAsRead) {
  PutLines({std::string(100, 'x'), "C:\\Tools\\run.exe    "});
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(list_.ScrollWidth(), 700);
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

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/fakes/RecordingShell.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/ResumeRunner.h"

namespace velquin {
namespace {

constexpr uintptr_t kOwner = 0x1234;

class ResumeRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs_.AddFile("C:\\Tools\\run.exe");
    fs_.AddFile("C:\\Docs\\memo.txt");
  }
  // (file, parameters) of every request, checking the fixed arguments on the way.
  std::vector<std::pair<std::string, std::string>> Opened() const {
    std::vector<std::pair<std::string, std::string>> opened;
    for (const ShellExecuteRequest& r : shell_.Requests()) {
      EXPECT_EQ(r.ownerWindow, kOwner);
      EXPECT_EQ(r.verb, "OPEN");
      EXPECT_FALSE(r.directory.has_value());
      EXPECT_EQ(r.showCommand, kSwShowNormal);
      EXPECT_TRUE(r.parameters.has_value()) << "an empty text, not a null pointer";
      opened.emplace_back(r.file, r.parameters.value_or("<null>"));
    }
    return opened;
  }

  FakeFileSystem fs_;
  RecordingShell shell_;
};

TEST_F(ResumeRunnerTest, OpensEveryLineThatParsesInOrder) {
  const VectorTaskList list({"\"C:\\Tools\\run.exe\" -a", "\"C:\\Tools\\gone.exe\"", "",
                             "* C:\\Tools\\run.exe", "  ", "C:\\Docs\\memo.txt",
                             "\"C:\\Tools\\run.exe\"", "\"C:\\Tools\\run.exe\" -a"});
  RunTasksOnResume(kPbtApmResumeSuspend, list, fs_, shell_, kOwner);
  using Opened = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(this->Opened(), (Opened{{"\"C:\\Tools\\run.exe\"", "-a"},
                                    {"\"C:\\Docs\\memo.txt\"", ""},
                                    {"\"C:\\Tools\\run.exe\"", ""},
                                    {"\"C:\\Tools\\run.exe\"", "-a"}}));
  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(list.Item(3), "* C:\\Tools\\run.exe");

  RunTasksOnResume(kPbtApmResumeSuspend, list, fs_, shell_, kOwner);
  EXPECT_EQ(shell_.Requests().size(), 8u);  // every notification is a full pass
}

TEST_F(ResumeRunnerTest, OtherEventCodesDoNothing) {
  const VectorTaskList list({"\"C:\\Tools\\run.exe\""});
  for (uint32_t code : {0u, 4u, 6u, 8u, 10u, 18u, 0x8013u}) {
    RunTasksOnResume(code, list, fs_, shell_, kOwner);
  }
  EXPECT_TRUE(shell_.Requests().empty());
  RunTasksOnResume(kPbtApmResumeSuspend, VectorTaskList(), fs_, shell_, kOwner);
  EXPECT_TRUE(shell_.Requests().empty());
}

TEST_F(ResumeRunnerTest, LinesAddedOrRemovedDuringThePass) {
  VectorTaskList list({"\"C:\\Tools\\run.exe\" 1", "\"C:\\Tools\\run.exe\" 2",
                       "\"C:\\Tools\\run.exe\" 3"});
  shell_.OnExecute([&list](const ShellExecuteRequest&) { list.Append("\"C:\\Tools\\run.exe\" new"); });
  RunTasksOnResume(kPbtApmResumeSuspend, list, fs_, shell_, kOwner);
  EXPECT_EQ(shell_.Requests().size(), 3u) << "the count is taken once";

  shell_.Clear();
  list = VectorTaskList({"\"C:\\Tools\\run.exe\" 1", "\"C:\\Tools\\run.exe\" 2",
                         "\"C:\\Tools\\run.exe\" 3"});
  shell_.OnExecute([&list](const ShellExecuteRequest&) { list.Delete(list.Count() - 1); });
  RunTasksOnResume(kPbtApmResumeSuspend, list, fs_, shell_, kOwner);
  EXPECT_EQ(shell_.Requests().size(), 2u);
}

}  // namespace
}  // namespace velquin

// Win32Shell opening real targets: a recorder program (copied to a folder whose
// name holds a space and a double-byte character), a batch file and a file of a
// type nothing is associated with.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Win32Shell.h"
#include "tests/support/OtherProcess.h"

namespace velquin {
namespace {

constexpr ULONGLONG kReturnsAtOnceMs = 5000;
constexpr ULONGLONG kTargetTimeoutMs = 30000;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text of a file once it appears with some, or nullopt after the timeout.
std::optional<std::string> WaitForFile(const std::string& path) {
  const ULONGLONG start = GetTickCount64();
  while (GetTickCount64() - start < kTargetTimeoutMs) {
    // Read again while it reads empty: its writer may still hold it open.
    if (Exists(path)) {
      if (std::string text = ReadFile(path); !text.empty()) return text;
    }
    Sleep(20);
  }
  return std::nullopt;
}

struct Record {
  std::string cmdline, cwd, gate;
  std::vector<std::string> args;
};

Record ParseRecord(const std::string& text) {
  Record r;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "cmdline") r.cmdline = value;
    if (key == "cwd") r.cwd = value;
    if (key == "gate") r.gate = value;
    if (key == "arg") r.args.push_back(value);
  }
  return r;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(dir + "\\" + name);
      } else {
        DeleteFileA((dir + "\\" + name).c_str());
      }
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

class Win32ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    work_ = std::string(temp) + "velquin shell ソ " + std::to_string(GetCurrentProcessId());
    RemoveTree(work_);
    ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr)) << work_;

    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    std::string recorder = self;
    recorder.erase(recorder.rfind('\\') + 1).append("velquin_recorder.exe");
    recorder_ = work_ + "\\rec order.exe";
    ASSERT_TRUE(CopyFileA(recorder.c_str(), recorder_.c_str(), FALSE)) << recorder;

    char cwd[MAX_PATH * 2];
    ASSERT_GT(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
    cwd_ = cwd;
  }

  void TearDown() override {
    SetEnvironmentVariableA("VELQUIN_RECORDER_OUT", nullptr);
    SetEnvironmentVariableA("VELQUIN_RECORDER_GATE", nullptr);
    RemoveTree(work_);
    CoUninitialize();
  }

  // Milliseconds that Execute took.
  ULONGLONG TimedExecute(const ShellExecuteRequest& request) {
    const ULONGLONG start = GetTickCount64();
    shell_.Execute(request);
    return GetTickCount64() - start;
  }

  Win32Shell shell_;
  std::string work_, recorder_, cwd_;
};

TEST_F(Win32ShellTest, OpensAQuotedProgramWithItsParametersWithoutWaiting) {
  const struct {
    const char* label;
    std::optional<std::string> verb;
    std::optional<std::string> parameters;
    int show;
    std::vector<std::string> args;
  } cases[] = {
      {"quoted words", "OPEN", "-a \"b c\" ソ表", kSwShowNormal, {"-a", "b c", "ソ表"}},
      {"empty parameters", "OPEN", "", kSwShowNormal, {}},
      {"default action", std::nullopt, std::nullopt, kSwShow, {}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string out = work_ + "\\out" + std::to_string(++n) + ".txt";
    const std::string gateName = "VelquinRecorderGate" + std::to_string(GetCurrentProcessId()) +
                                 "_" + std::to_string(n);
    const HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, gateName.c_str());
    ASSERT_NE(gate, nullptr);
    SetEnvironmentVariableA("VELQUIN_RECORDER_OUT", out.c_str());
    SetEnvironmentVariableA("VELQUIN_RECORDER_GATE", gateName.c_str());

    ShellExecuteRequest request;
    request.verb = c.verb;
    request.file = Quoted(recorder_);
    request.parameters = c.parameters;
    request.showCommand = c.show;
    // The recorder holds its record back until the gate opens: Execute returning
    // first shows that it did not wait for the program.
    EXPECT_LT(TimedExecute(request), kReturnsAtOnceMs);
    EXPECT_FALSE(Exists(out));
    SetEvent(gate);
    const auto text = WaitForFile(out);
    CloseHandle(gate);
    ASSERT_TRUE(text) << "the recorder did not run";

    const Record r = ParseRecord(*text);
    EXPECT_EQ(r.gate, "opened");
    EXPECT_EQ(r.args, c.args);
    // The program sees its quoted name, then the parameters as given.
    const std::string program = Quoted(recorder_);
    ASSERT_EQ(r.cmdline.compare(0, program.size(), program), 0) << r.cmdline;
    EXPECT_EQ(Trimmed(r.cmdline.substr(program.size())), c.parameters.value_or(""));
    EXPECT_EQ(r.cwd, cwd_);  // no directory given: the caller's is inherited
  }
}

TEST_F(Win32ShellTest, OpensAQuotedBatchFileWithItsParameters) {
  const std::string batch = work_ + "\\run me.bat";
  {
    std::ofstream out(batch, std::ios::binary);
    out << "@echo off\r\n"
           "echo %*> \"%~dp0bat.tmp\"\r\n"
           "move /y \"%~dp0bat.tmp\" \"%~dp0bat.txt\" > nul\r\n";
  }
  ShellExecuteRequest request;
  request.verb = "OPEN";
  request.file = Quoted(batch);
  request.parameters = "-x \"y z\"";
  EXPECT_LT(TimedExecute(request), kReturnsAtOnceMs);
  const auto text = WaitForFile(work_ + "\\bat.txt");
  ASSERT_TRUE(text) << "the batch file did not run";
  EXPECT_EQ(*text, "-x \"y z\"\r\n");
}

TEST_F(Win32ShellTest, UnassociatedFileTypeReturnsAtOnce) {
  const std::string document = work_ + "\\data.velquin-unassociated";
  std::ofstream(document, std::ios::binary) << "x";
  ShellExecuteRequest request;
  request.verb = "OPEN";
  request.file = Quoted(document);
  request.parameters = "";
  EXPECT_LT(TimedExecute(request), kReturnsAtOnceMs);
}

// A name cut at a NUL would name the recorder, and a text that is not code page 932
// would reach the shell changed: such a request must start nothing.
TEST_F(Win32ShellTest, TextHoldingANulOrNoCodePage932StartsNothing) {
  const std::string refused = work_ + "\\refused.txt";
  const std::string accepted = work_ + "\\accepted.txt";
  ShellExecuteRequest request;
  request.verb = "OPEN";
  request.parameters = "";

  SetEnvironmentVariableA("VELQUIN_RECORDER_OUT", refused.c_str());
  request.file = Quoted(recorder_) + std::string("\0.txt", 5);
  shell_.Execute(request);
  request.file = Quoted(recorder_);
  request.parameters = std::string("-a\0-b", 5);
  shell_.Execute(request);
  request.parameters = "-a \x81";  // a lead byte without its trail byte
  shell_.Execute(request);

  // A sound request started after them has finished: the refused ones would have
  // recorded by then too.
  SetEnvironmentVariableA("VELQUIN_RECORDER_OUT", accepted.c_str());
  request.parameters = "";
  shell_.Execute(request);
  ASSERT_TRUE(WaitForFile(accepted));
  EXPECT_TRUE(test::WaitFor([] { return test::RunningCopies("rec order.exe") == 0; }, kTargetTimeoutMs));
  EXPECT_FALSE(Exists(refused));
}

}  // namespace
}  // namespace velquin

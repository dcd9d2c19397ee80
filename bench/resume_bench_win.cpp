// A resume pass as the program runs it (RunTasksOnResume over the real file system
// and the real shell) against a bare loop of ShellExecuteA calls over the same lines
// parsed beforehand, for lists of 10, 100 and 1000 lines. Every task is a copy of a
// program that ends at once. The two variants alternate within each repetition and
// the medians are reported. A counted pass first checks that the parse makes exactly
// the directory searches its candidates call for.
//
//   velquin_bench_resume_win QUIT_EXE [REPS_10 REPS_100 REPS_1000]   (0: skip that size)
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/fakes/RecordingShell.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/ResumeRunner.h"
#include "core/tasks/TaskLine.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32Shell.h"

#include "bench/BenchClock_win.h"

namespace {

using namespace velquin;

const std::string kRoot = "C:\\VelquinBench";
const std::string kQuoted = kRoot + "\\Apps\\quit.exe";
const std::string kBlanks = kRoot + "\\Program Files\\Bench Vendor\\My App\\app.exe";

// The line shapes, with the directory searches each costs and whether it opens.
struct Shape {
  const char* name;
  int searches;
  bool opens;
};
const Shape kShapes[] = {
    {"quoted, with parameters", 1, true},
    {"unquoted, blanks in the path (4 candidates), with parameters", 4, true},
    {"quoted, no parameters", 1, true},
    {"marked missing \"* \" (3 candidates, all fail)", 3, false},
};

std::string Line(int i) {
  const std::string n = std::to_string(i);
  switch (i % 4) {
    case 0: return "\"" + kQuoted + "\" -a " + n;
    case 1: return kBlanks + " /s";
    case 2: return "\"" + kQuoted + "\"";
    default: return "* " + kRoot + "\\Gone\\missing" + n + ".exe -x";
  }
}

using velquin::bench::Median;
using velquin::bench::Now;

// The started programs belong to this job (children inherit it): between passes the
// benchmark waits until they have all ended, so one pass does not slow the next.
HANDLE g_job = nullptr;

void WaitForChildren() {
  if (!g_job) {
    Sleep(500);
    return;
  }
  const double deadline = Now() + 60;
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  while (Now() < deadline) {
    if (!QueryInformationJobObject(g_job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                   nullptr)) {
      Sleep(500);
      return;
    }
    if (info.ActiveProcesses <= 1) return;
    Sleep(20);
  }
  std::printf("warning: started programs still running after 60 s\n");
}

bool Prepare(const char* quitExe) {
  CreateDirectoryA(kRoot.c_str(), nullptr);
  CreateDirectoryA((kRoot + "\\Apps").c_str(), nullptr);
  CreateDirectoryA((kRoot + "\\Program Files").c_str(), nullptr);
  CreateDirectoryA((kRoot + "\\Program Files\\Bench Vendor").c_str(), nullptr);
  CreateDirectoryA((kRoot + "\\Program Files\\Bench Vendor\\My App").c_str(), nullptr);
  // The marked line's first candidate, "*", searches the current directory: an
  // ordinary directory lists "." first, so it fails as it does for users.
  SetCurrentDirectoryA(kRoot.c_str());
  return CopyFileA(quitExe, kQuoted.c_str(), FALSE) && CopyFileA(quitExe, kBlanks.c_str(), FALSE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s QUIT_EXE [REPS_10 REPS_100 REPS_1000]\n", argv[0]);
    return 2;
  }
  if (!Prepare(argv[1])) {
    std::fprintf(stderr, "cannot copy %s into %s\n", argv[1], kRoot.c_str());
    return 1;
  }
  int reps[3] = {15, 7, 3};
  for (int i = 0; i < 3 && 2 + i < argc; ++i) reps[i] = std::max(0, std::atoi(argv[2 + i]));
  // As in the program: the shell is called from a single-threaded apartment.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  g_job = CreateJobObjectA(nullptr, nullptr);
  if (g_job && !AssignProcessToJobObject(g_job, GetCurrentProcess())) {
    CloseHandle(g_job);
    g_job = nullptr;
  }
  std::printf("job accounting of started programs: %s\n", g_job ? "yes" : "no (fixed pauses)");

  Win32FileSystem fileSystem;
  Win32Shell shell;

  // Searches per shape, counted on one line of each.
  std::printf("\n## searches\n");
  bool allMatch = true;
  for (int s = 0; s < 4; ++s) {
    CountingFileSystem counting(fileSystem);
    std::string fileName, params;
    const bool parsed = ParseTaskLine(counting, Line(s), fileName, params);
    const bool match = counting.Searches() == kShapes[s].searches && parsed == kShapes[s].opens;
    allMatch = allMatch && match;
    std::printf("shape|%s|%s|%d|%lld|%s|%s\n", kShapes[s].name, Line(s).c_str(),
                kShapes[s].searches, counting.Searches(), parsed ? "opens" : "skipped",
                match ? "match" : "MISMATCH");
  }

  std::printf("\n## passes\n");
  const int counts[3] = {10, 100, 1000};
  for (int c = 0; c < 3; ++c) {
    const int count = counts[c];
    VectorTaskList list;
    long long expectedSearches = 0;
    long long expectedOpens = 0;
    for (int i = 0; i < count; ++i) {
      list.Append(Line(i));
      expectedSearches += kShapes[i % 4].searches;
      expectedOpens += kShapes[i % 4].opens ? 1 : 0;
    }

    // One pass through the counting file system and a shell that only counts.
    CountingFileSystem counting(fileSystem);
    CountingShell countingShell;
    RunTasksOnResume(kPbtApmResumeSuspend, list, counting, countingShell, 0);
    const bool countsMatch =
        counting.Searches() == expectedSearches && countingShell.Calls() == expectedOpens;
    allMatch = allMatch && countsMatch;
    std::printf("count|%d|%lld|%lld|%lld|%lld|%s\n", count, expectedSearches, counting.Searches(),
                expectedOpens, countingShell.Calls(), countsMatch ? "match" : "MISMATCH");
    if (reps[c] == 0) continue;  // counted, not timed in this run

    // The bare loop's input: the lines parsed beforehand, outside the timing.
    std::vector<std::pair<std::string, std::string>> parsed;
    for (int i = 0; i < count; ++i) {
      std::string fileName, params;
      if (ParseTaskLine(fileSystem, list.Item(i), fileName, params)) parsed.emplace_back(fileName, params);
    }

    std::vector<double> passTimes, bareTimes, ratios;
    for (int r = 0; r < reps[c]; ++r) {
      double pass = 0, bare = 0;
      for (int k = 0; k < 2; ++k) {
        const bool runPass = (r % 2 == 0) == (k == 0);  // alternate which goes first
        WaitForChildren();
        const double start = Now();
        if (runPass) {
          RunTasksOnResume(kPbtApmResumeSuspend, list, fileSystem, shell, 0);
          pass = Now() - start;
        } else {
          for (const auto& [fileName, params] : parsed) {
            ShellExecuteA(nullptr, "OPEN", fileName.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
          }
          bare = Now() - start;
        }
      }
      passTimes.push_back(pass * 1000);
      bareTimes.push_back(bare * 1000);
      ratios.push_back(pass / bare);
      std::printf("rep|%d|%d|%.2f|%.2f|%.3f\n", count, r + 1, pass * 1000, bare * 1000, pass / bare);
      std::fflush(stdout);
    }
    std::printf("median|%d|%d|%lld|%.2f|%.2f|%.3f|%.3f\n", count, reps[c], expectedOpens,
                Median(passTimes), Median(bareTimes), Median(passTimes) / Median(bareTimes),
                Median(ratios));
    std::fflush(stdout);
  }
  WaitForChildren();

  // The parse alone, without the shell: what a pass adds to the shell calls.
  std::printf("\n## parse only\n");
  for (int count : counts) {
    VectorTaskList list;
    for (int i = 0; i < count; ++i) list.Append(Line(i));
    std::vector<double> times;
    for (int r = 0; r < 5; ++r) {
      CountingShell none;
      const double start = Now();
      RunTasksOnResume(kPbtApmResumeSuspend, list, fileSystem, none, 0);
      times.push_back((Now() - start) * 1000);
    }
    std::printf("parse|%d|%.3f\n", count, Median(times));
  }
  std::printf("\nall counts match: %s\n", allMatch ? "yes" : "NO");
  return allMatch ? 0 : 1;
}

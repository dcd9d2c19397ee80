// What a resume costs: for lists of 10, 100 and 1000 lines, the directory searches
// each parse makes, and the time of a resume pass (parse every line, then call the
// shell) against a bare loop of the same shell calls over lines parsed beforehand.
// The shell does nothing, so the figures are the program's own share of a resume.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/fakes/FakeFileSystem.h"
#include "core/fakes/RecordingShell.h"
#include "core/fakes/VectorTaskList.h"
#include "core/tasks/ResumeRunner.h"
#include "core/tasks/TaskLine.h"

namespace {

using namespace velquin;
using Clock = std::chrono::steady_clock;

// A list in the shapes users keep: quoted with parameters, unquoted with blanks in
// the path (several candidates), a plain document, and a line marked missing.
void MakeList(int count, FakeFileSystem& fs, VectorTaskList& list) {
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
      case 0:
        fs.AddFile("C:\\Apps\\tool" + n + ".exe");
        list.Append("\"C:\\Apps\\tool" + n + ".exe\" -a " + n);
        break;
      case 1:
        fs.AddFile("C:\\Program Files\\Vendor " + n + "\\My App\\app.exe");
        list.Append("C:\\Program Files\\Vendor " + n + "\\My App\\app.exe /s");
        break;
      case 2:
        fs.AddFile("C:\\Docs\\note" + n + ".txt");
        list.Append("\"C:\\Docs\\note" + n + ".txt\"");
        break;
      default:
        list.Append("* C:\\Gone\\missing" + n + ".exe -x");
        break;
    }
  }
}

// Microseconds per run of `body`, repeated until a fifth of a second has passed.
template <class Body>
double MicrosecondsPerRun(Body body) {
  long runs = 0;
  const Clock::time_point start = Clock::now();
  Clock::duration elapsed{};
  do {
    body();
    ++runs;
    elapsed = Clock::now() - start;
  } while (elapsed < std::chrono::milliseconds(200));
  return std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(runs);
}

}  // namespace

int main() {
  std::printf("%6s  %16s  %14s  %14s  %14s  %8s\n", "lines", "searches/parse", "max searches",
              "resume pass us", "bare calls us", "ratio");
  for (int count : {10, 100, 1000}) {
    FakeFileSystem fs;
    VectorTaskList list;
    MakeList(count, fs, list);

    CountingFileSystem counting(fs);
    std::vector<ShellExecuteRequest> parsed;
    long long maxSearches = 0;
    for (int i = 0; i < list.Count(); ++i) {
      const long long before = counting.Searches();
      std::string fileName, params;
      if (ParseTaskLine(counting, list.Item(i), fileName, params)) {
        ShellExecuteRequest request;
        request.verb = "OPEN";
        request.file = fileName;
        request.parameters = params;
        parsed.push_back(request);
      }
      maxSearches = std::max(maxSearches, counting.Searches() - before);
    }
    const double perParse = static_cast<double>(counting.Searches()) / count;

    CountingShell shell;
    const double pass = MicrosecondsPerRun(
        [&] { RunTasksOnResume(kPbtApmResumeSuspend, list, fs, shell, 0); });
    Shell& bareShell = shell;
    const double bare = MicrosecondsPerRun([&] {
      for (const ShellExecuteRequest& request : parsed) bareShell.Execute(request);
    });
    std::printf("%6d  %16.2f  %14lld  %14.1f  %14.1f  %8.1f\n", count, perParse, maxSearches,
                pass, bare, pass / bare);
  }
  return 0;
}

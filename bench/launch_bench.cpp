// Measures programs from the outside, as a user's launcher starts them.
//
//   velquin_bench_launch startup VELQUIN_EXE EMPTY_EXE REPS TASK_EXE
//     Time from CreateProcess to the first idle (WaitForInputIdle) and the working
//     set at that idle and one second later (GetProcessMemoryInfo), Velquin and the
//     empty window program alternating; Velquin's list holds ten lines. Medians and
//     ratios.
//   velquin_bench_launch load VELQUIN_EXE FLOOR_EXE EMPTY_EXE REPS TASK_EXE
//     Time from CreateProcess to the first idle with 0, 10, 100 and 1000 stored lines,
//     Velquin, the floor program and the empty window taking turns (the order
//     rotates), every size in every round; at each idle the program's visible window and the lines its list box
//     shows are checked. Medians and ratios.
//   velquin_bench_launch tray VELQUIN_EXE SECONDS TASK_EXE
//     Starts Velquin twice: minimised without activation (SW_SHOWMINNOACTIVE through
//     STARTUPINFO), and shown normally with "MinimizeWhenStart" set, which moves it
//     into the tray one second later. After both have settled, the CPU time each uses
//     (GetProcessTimes) over SECONDS of waiting in the tray.
// The stored lines name a copy of TASK_EXE in a small folder of its own
// (bench/StoredList_win.h). Every started program is ended with TerminateProcess:
// nothing is saved.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchClock_win.h"
#include "bench/StoredList_win.h"

namespace {

using velquin::bench::Median;
using velquin::bench::Now;

// Velquin's stored list: `count` quoted lines naming `target` (ten unless told), and
// the start-up option.
bool WriteList(const std::string& target, DWORD minimizeWhenStart, DWORD count = 10) {
  return velquin::bench::WriteStoredList(target, count, minimizeWhenStart);
}

// Starts `exe` with the given show state (or none) and waits for its first idle.
bool Start(const std::string& exe, int showCommand, PROCESS_INFORMATION& process, double& seconds) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (showCommand >= 0) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
  }
  std::string commandLine = "\"" + exe + "\"";
  const double start = Now();
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
    return false;
  }
  const DWORD idle = WaitForInputIdle(process.hProcess, 30000);
  seconds = Now() - start;
  if (idle != 0) {
    std::fprintf(stderr, "%s: no first idle within 30 s (%lu)\n", exe.c_str(), idle);
    return false;
  }
  return true;
}

void End(PROCESS_INFORMATION& process) {
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

double WorkingSetKiB(HANDLE process, double* peak = nullptr) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
  if (peak) *peak = counters.PeakWorkingSetSize / 1024.0;
  return counters.WorkingSetSize / 1024.0;
}

double CpuMilliseconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) / 10000.0;
}

int Startup(const std::string& velquin, const std::string& empty, int reps, const std::string& target) {
  if (!WriteList(target, 0)) {
    std::fprintf(stderr, "cannot write the list\n");
    return 1;
  }
  const std::string exes[2] = {velquin, empty};
  std::vector<double> time[2], cpu[2], idleSet[2], settledSet[2], peakSet[2], timeRatio, setRatio;
  // One start of each first, not counted: the first program of a fresh prefix also
  // starts the desktop and fills the file cache.
  for (const std::string& exe : exes) {
    PROCESS_INFORMATION process{};
    double seconds = 0;
    if (!Start(exe, -1, process, seconds)) return 1;
    Sleep(500);
    End(process);
  }
  for (int r = 0; r < reps; ++r) {
    double t[2] = {0, 0}, ws[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
      const int which = (r % 2 == 0) ? k : 1 - k;  // alternate which goes first
      PROCESS_INFORMATION process{};
      double seconds = 0;
      if (!Start(exes[which], -1, process, seconds)) return 1;
      const double atIdle = WorkingSetKiB(process.hProcess);
      cpu[which].push_back(CpuMilliseconds(process.hProcess));
      Sleep(1000);
      double peak = 0;
      const double settled = WorkingSetKiB(process.hProcess, &peak);
      End(process);
      time[which].push_back(seconds * 1000);
      idleSet[which].push_back(atIdle);
      settledSet[which].push_back(settled);
      peakSet[which].push_back(peak);
      t[which] = seconds;
      ws[which] = settled;
      Sleep(200);
    }
    timeRatio.push_back(t[0] / t[1]);
    setRatio.push_back(ws[0] / ws[1]);
    std::printf("rep|%d|%.1f|%.1f|%.0f|%.0f\n", r + 1, t[0] * 1000, t[1] * 1000, ws[0], ws[1]);
    std::fflush(stdout);
  }
  const char* names[2] = {"Velquin.exe", "empty window"};
  for (int k = 0; k < 2; ++k) {
    std::printf("startup|%s|%.1f|%.0f|%.0f|%.0f|%.1f\n", names[k], Median(time[k]), Median(idleSet[k]),
                Median(settledSet[k]), Median(peakSet[k]), Median(cpu[k]));
  }
  std::printf("ratio|%.3f|%.3f|%.3f|%.3f\n", Median(time[0]) / Median(time[1]),
              Median(settledSet[0]) / Median(settledSet[1]), Median(timeRatio), Median(setRatio));
  return 0;
}

struct WindowSearch {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->window = window;
  return FALSE;
}

// The lines the list box of the process's visible top-level window shows; -1 when
// it has no visible window, -2 when that window has no list box.
int ShownLines(DWORD processId) {
  WindowSearch search{processId, nullptr};
  EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.window) return -1;
  HWND list = FindWindowExA(search.window, nullptr, "ListBox", nullptr);
  return list ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)) : -2;
}

int Load(const std::string (&exes)[3], int reps, const std::string& target) {
  const char* names[3] = {"Velquin.exe", "floor", "empty window"};
  const int counts[4] = {0, 10, 100, 1000};
  std::vector<double> time[4][3];
  int shown[4][3] = {};
  // Every round starts the three programs at every size, so that a busy spell of
  // the machine falls on all sizes alike; the first round is not counted.
  for (int r = -1; r < reps; ++r) {
    for (int c = 0; c < 4; ++c) {
      if (!WriteList(target, 0, static_cast<DWORD>(counts[c]))) {
        std::fprintf(stderr, "cannot write the list\n");
        return 1;
      }
      for (int k = 0; k < 3; ++k) {
        const int which = (k + (r < 0 ? 0 : r)) % 3;  // the order rotates
        PROCESS_INFORMATION process{};
        double seconds = 0;
        if (!Start(exes[which], -1, process, seconds)) return 1;
        shown[c][which] = ShownLines(process.dwProcessId);
        End(process);
        if (r >= 0) time[c][which].push_back(seconds * 1000);
        Sleep(300);
      }
      if (r >= 0) {
        std::printf("loadrep|%d|%d|%.1f|%.1f|%.1f\n", counts[c], r + 1, time[c][0].back(), time[c][1].back(),
                    time[c][2].back());
        std::fflush(stdout);
      }
    }
  }
  // medians, then the fastest starts (the least disturbed on a shared machine)
  auto fastest = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
  for (int c = 0; c < 4; ++c) {
    for (int k = 0; k < 3; ++k) std::printf("loadshown|%d|%s|%d\n", counts[c], names[k], shown[c][k]);
    const auto& t = time[c];
    std::printf("load|%d|%.1f|%.1f|%.1f|%.1f|%.1f|%.1f\n", counts[c], Median(t[0]), Median(t[1]), Median(t[2]),
                fastest(t[0]), fastest(t[1]), fastest(t[2]));
  }
  return 0;
}

int Tray(const std::string& velquin, int seconds, const std::string& target) {
  PROCESS_INFORMATION minimised{}, optioned{};
  double started = 0;
  if (!WriteList(target, 0) || !Start(velquin, SW_SHOWMINNOACTIVE, minimised, started)) return 1;
  // The list and the option are read when the main window is created, before idle.
  if (!WriteList(target, 1) || !Start(velquin, -1, optioned, started)) return 1;
  Sleep(3000);  // the option's one-second timer has ticked; both sit in the tray
  const double before[2] = {CpuMilliseconds(minimised.hProcess), CpuMilliseconds(optioned.hProcess)};
  std::printf("pids|%lu|%lu\n", minimised.dwProcessId, optioned.dwProcessId);
  std::printf("waiting|%d\n", seconds);
  std::fflush(stdout);
  const double start = Now();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double waited = Now() - start;
  const double after[2] = {CpuMilliseconds(minimised.hProcess), CpuMilliseconds(optioned.hProcess)};
  std::printf("tray|started minimised (SW_SHOWMINNOACTIVE)|%.1f|%.1f|%.1f\n", waited, before[0],
              after[0] - before[0]);
  std::printf("tray|shown, MinimizeWhenStart=1 (timer)|%.1f|%.1f|%.1f\n", waited, before[1],
              after[1] - before[1]);
  std::fflush(stdout);
  End(minimised);
  End(optioned);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  // The lines name a copy of TASK_EXE in a small folder of its own, as a user's
  // tasks are: a directory search costs more in a large folder.
  std::string task;
  if (argc > 2) {
    task = velquin::bench::PlaceTask(argv[argc - 1]);
    if (task.empty()) {
      std::fprintf(stderr, "cannot copy %s into %s\n", argv[argc - 1], velquin::bench::kTaskFolder);
      return 1;
    }
  }
  if (mode == "startup" && argc == 6) return Startup(argv[2], argv[3], std::atoi(argv[4]), task);
  if (mode == "load" && argc == 7) {
    const std::string exes[3] = {argv[2], argv[3], argv[4]};
    return Load(exes, std::max(1, std::atoi(argv[5])), task);
  }
  if (mode == "tray" && argc == 5) return Tray(argv[2], std::atoi(argv[3]), task);
  std::fprintf(stderr,
               "usage: %s startup VELQUIN_EXE EMPTY_EXE REPS TASK_EXE\n"
               "       %s load VELQUIN_EXE FLOOR_EXE EMPTY_EXE REPS TASK_EXE\n"
               "       %s tray VELQUIN_EXE SECONDS TASK_EXE\n",
               argv[0], argv[0], argv[0]);
  return 2;
}

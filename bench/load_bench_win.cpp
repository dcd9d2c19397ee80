// Where the start-up load spends its time, per stored line, inside one process:
// the program's load (TaskStore::Load over the real registry and file system into
// the toolkit's list box, batched as the main window runs it) against the floor of
// its system calls (per line one RegQueryValueExA, one FindFirstFileA/FindClose and
// one LB_ADDSTRING on a plain list box), and the steps in between: the store alone
// into a vector, the same load unbatched, and the list-box messages the unbatched
// load sends. Every list box sits in a hidden form of the main window's size, as it
// does while the main window is created.
//
//   velquin_bench_load_win TARGET_EXE [REPS]
// The stored lines are "TARGET_EXE" -n i (quoted, with parameters: one search each).
#include <windows.h>

#include "RawLoad.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskStore.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32Registry.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include "bench/BenchClock_win.h"

namespace {

using namespace velquin;
using velquin::bench::Median;
using velquin::bench::Now;

std::string g_target;

std::string Line(int i) { return "\"" + g_target + "\" -n " + std::to_string(i); }

bool WriteList(int count) {
  HKEY key;
  const std::string path(kTaskStoreKeyPath);
  RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const DWORD n = static_cast<DWORD>(count);
  bool ok = RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n) == ERROR_SUCCESS;
  for (int i = 0; i < count && ok; ++i) {
    const std::string name = "APP" + std::to_string(i), line = Line(i);
    ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                        static_cast<DWORD>(line.size() + 1)) == ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return ok;
}

const TControlDesc kListOnly[] = {
    {TControlKind::ListBox, "lbxTaskList", "", 8, 32, 459, 177, akAll, 0},
};
const TFormDesc kBenchForm{"_LoadBenchForm", "load", 474, 270, TBorderStyle::Sizeable, TPosition::ScreenCenter,
                           kListOnly};

class TBenchForm : public TForm {
 public:
  explicit TBenchForm(TComponent* owner) : TForm(owner, kBenchForm) {}
  TListBox* List() const { return Control<TListBox>("lbxTaskList"); }
};

// The floor: the calls any load of these lines must make, on a plain list box.
void FloorLoad(HWND list) { RawLoadLines(list); }

// Sends LB_ADDSTRING once per line to `list`; returns seconds.
double AddEach(HWND list, int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(Line(i));
  const double start = Now();
  for (const std::string& line : lines) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  return Now() - start;
}

HWND PlainListBox(HWND parent, HFONT font) {
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                  WS_HSCROLL,
                              8, 32, 459, 177, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, 12);
  return list;
}

struct Step {
  const char* name;
  // Runs the step on a fresh hidden form with `count` lines stored; returns seconds.
  std::function<double(TBenchForm& form, int count)> run;
};

Win32Registry g_registry;
Win32FileSystem g_fileSystem;

double Timed(const std::function<void()>& work) {
  const double start = Now();
  work();
  return Now() - start;
}

const Step kSteps[] = {
    {"floor: RegQueryValueExA, FindFirstFileA/FindClose, LB_ADDSTRING",
     [](TBenchForm& form, int) {
       HWND list = PlainListBox(form.Handle(), form.Font());
       const double t = Timed([&] { FloorLoad(list); });
       DestroyWindow(list);
       return t;
     }},
    {"program: the load into the list box, batched",
     [](TBenchForm& form, int) {
       bool minimize = false;
       TListBox& list = *form.List();
       return Timed([&] {
         TaskListUpdate update(list);
         TaskStore(g_registry, g_fileSystem).Load(list, minimize);
         update.Finish();
       });
     }},
    {"store alone: the load into a vector",
     [](TBenchForm&, int) {
       bool minimize = false;
       VectorTaskList list;
       return Timed([&] { TaskStore(g_registry, g_fileSystem).Load(list, minimize); });
     }},
    {"the load into the list box, unbatched",
     [](TBenchForm& form, int) {
       bool minimize = false;
       return Timed([&] { TaskStore(g_registry, g_fileSystem).Load(*form.List(), minimize); });
     }},
    {"unbatched list box: Append + UpdateScrollWidth per line",
     [](TBenchForm& form, int count) {
       TListBox& list = *form.List();
       return Timed([&] {
         for (int i = 0; i < count; ++i) UpdateScrollWidth(list, list.Append(Line(i)));
       });
     }},
    {"unbatched list box: Item + Replace per line (normalisation)",
     [](TBenchForm& form, int count) {
       TListBox& list = *form.List();
       for (int i = 0; i < count; ++i) list.Append(Line(i));
       return Timed([&] {
         for (int i = count - 1; i >= 0; --i) list.Replace(i, list.Item(i) + "x");
       });
     }},
    {"toolkit list box: LB_ADDSTRING per line, sent to its window",
     [](TBenchForm& form, int count) { return AddEach(form.List()->Handle(), count); }},
    {"GetPropA per line on the toolkit's list box (its control procedure does one a message)",
     [](TBenchForm& form, int count) {
       HWND list = form.List()->Handle();
       return Timed([&] {
         for (int i = 0; i < count; ++i) GetPropA(list, "VelquinControl");
       });
     }},
    {"plain list box: LB_ADDSTRING per line",
     [](TBenchForm& form, int count) {
       HWND list = PlainListBox(form.Handle(), form.Font());
       const double t = AddEach(list, count);
       DestroyWindow(list);
       return t;
     }},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TARGET_EXE [REPS]\n", argv[0]);
    return 2;
  }
  g_target = argv[1];
  const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  TApplication app;
  const int steps = static_cast<int>(std::size(kSteps));
  for (int s = 0; s < steps; ++s) std::printf("step|%d|%s\n", s, kSteps[s].name);
  for (int count : {10, 100, 1000}) {
    if (!WriteList(count)) {
      std::fprintf(stderr, "cannot write the list\n");
      return 1;
    }
    std::vector<std::vector<double>> times(steps);
    for (int r = 0; r < reps; ++r) {
      for (int k = 0; k < steps; ++k) {
        const int s = (r % 2 == 0) ? k : steps - 1 - k;  // alternate the order
        auto* form = CreateForm<TBenchForm>(&app);
        times[s].push_back(kSteps[s].run(*form, count) * 1000);
        TComponent::Free(form);
      }
    }
    const double floor = Median(times[0]);
    for (int s = 0; s < steps; ++s) {
      const double median = Median(times[s]);
      const double fastest = *std::min_element(times[s].begin(), times[s].end());
      // milliseconds, per line in microseconds, against the floor; the fastest run
      std::printf("load|%d|%d|%.3f|%.1f|%.2f|%.3f\n", count, s, median, median * 1000 / count, median / floor,
                  fastest);
    }
    std::fflush(stdout);
  }
  return 0;
}

// Where the start-up load spends its time, per stored line, inside one process: the
// program's load (TaskStore::Load over the real registry and file system into the
// toolkit's list box, held in one update as the main window runs it) against the
// floor (bench/RawLoad.h), and each of the load's steps beside the floor's call for
// the same step: registry reads, directory searches, code page 932 conversions and
// list-box work. Every list box sits in a hidden form of the main window's size, as it
// does while the main window is created.
//
//   velquin_bench_load_win TASK_EXE [REPS]
// TASK_EXE is copied into a small folder of its own; the stored lines name the copy
// ("COPY" -n i: quoted, with parameters, one search each). One step searches for
// TASK_EXE where it is, for comparison.
#include <windows.h>

#include "RawLoad.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/fakes/VectorTaskList.h"
#include "core/tasks/TaskLine.h"
#include "core/tasks/TaskStore.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32Registry.h"
#include "text/CodePage932.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include "bench/BenchClock_win.h"
#include "bench/StoredList_win.h"

namespace {

using namespace velquin;
using velquin::bench::Median;
using velquin::bench::Now;
using velquin::bench::StoredLine;

std::string g_target;       // the copy in the small folder, which the lines name
std::wstring g_otherPlace;  // the program where it was given, for one search

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

HWND PlainListBox(HWND parent, HFONT font) {
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                  WS_HSCROLL,
                              8, 32, 459, 177, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, 12);
  return list;
}

// The stored lines (code page 932), their UTF-16 form, and their quoted file names.
struct Lines {
  std::vector<std::string> text, names;
  std::vector<std::wstring> wide, wideNames;
};

Lines MakeLines(int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) {
    lines.text.push_back(StoredLine(g_target, static_cast<DWORD>(i)));
    lines.names.push_back(g_target);
    lines.wide.push_back(WideFromCp932(lines.text.back()));
    lines.wideNames.push_back(WideFromCp932(g_target));
  }
  return lines;
}

struct Step {
  const char* group;
  const char* name;
  // Runs the step on a fresh hidden form with `lines` stored; returns seconds.
  std::function<double(TBenchForm& form, const Lines& lines)> run;
};

Win32Registry g_registry;
Win32FileSystem g_fileSystem;

double Timed(const std::function<void()>& work) {
  const double start = Now();
  work();
  return Now() - start;
}

// Keeps a result alive so that the compiler cannot drop the work.
volatile size_t g_sink = 0;

double SearchEach(const std::wstring& name, size_t count) {
  return Timed([&] {
    for (size_t i = 0; i < count; ++i) {
      WIN32_FIND_DATAW data;
      const HANDLE search = FindFirstFileW(name.c_str(), &data);
      if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
  });
}

const Step kSteps[] = {
    {"whole load", "floor: RegQueryValueExW, FindFirstFileW/FindClose, LB_ADDSTRING",
     [](TBenchForm& form, const Lines&) {
       HWND list = PlainListBox(form.Handle(), form.Font());
       const double t = Timed([&] { RawLoadLines(list); });
       DestroyWindow(list);
       return t;
     }},
    {"whole load", "program: TaskStore::Load into the list box, held in one update",
     [](TBenchForm& form, const Lines&) {
       bool minimize = false;
       TListBox& list = *form.List();
       return Timed([&] {
         TaskListUpdate update(list);
         TaskStore(g_registry, g_fileSystem).Load(list, minimize);
         update.Finish();
       });
     }},
    {"whole load", "program: TaskStore::Load into a vector (no list box)",
     [](TBenchForm&, const Lines&) {
       bool minimize = false;
       VectorTaskList list;
       return Timed([&] { TaskStore(g_registry, g_fileSystem).Load(list, minimize); });
     }},
    {"registry", "floor: RegQueryValueExW into a buffer",
     [](TBenchForm&, const Lines& lines) {
       HKEY key;
       if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\HALVERN\\Velquin", 0, KEY_READ, &key) != ERROR_SUCCESS)
         return 0.0;
       const double t = Timed([&] {
         wchar_t line[2048];
         for (size_t i = 0; i < lines.text.size(); ++i) {
           const std::wstring name = L"APP" + std::to_wstring(i);
           DWORD size = sizeof line;
           RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(line), &size);
         }
       });
       RegCloseKey(key);
       return t;
     }},
    {"registry", "program: RegistryKey::ValueNames, the listing of the key's values",
     [](TBenchForm&, const Lines&) {
       const auto key = g_registry.CreateKey(kTaskStoreKeyPath);
       return Timed([&] { g_sink = key->ValueNames()->size(); });
     }},
    {"registry", "program: RegistryKey::Query of each line (data, text, code page 932 size)",
     [](TBenchForm&, const Lines& lines) {
       const auto key = g_registry.CreateKey(kTaskStoreKeyPath);
       return Timed([&] {
         for (size_t i = 0; i < lines.text.size(); ++i) g_sink = key->Query("APP" + std::to_string(i)).data.size();
       });
     }},
    {"search", "floor: FindFirstFileW/FindClose",
     [](TBenchForm&, const Lines& lines) { return SearchEach(lines.wideNames.front(), lines.text.size()); }},
    {"search", "program: Win32FileSystem::FindFirstEntry",
     [](TBenchForm&, const Lines& lines) {
       return Timed([&] {
         for (const std::string& name : lines.names) g_sink = g_fileSystem.FindFirstEntry(name).has_value();
       });
     }},
    {"search", "program: Win32FileSystem::LocalDosYear of the file's last-write time",
     [](TBenchForm&, const Lines& lines) {
       const std::optional<DirEntry> entry = g_fileSystem.FindFirstEntry(lines.names.front());
       const uint64_t time = entry ? entry->lastWriteTime : 0;
       return Timed([&] {
         for (size_t i = 0; i < lines.names.size(); ++i) g_sink = g_fileSystem.LocalDosYear(time).value_or(0);
       });
     }},
    {"search", "program: ParseTaskLine (the search and the local MS-DOS year)",
     [](TBenchForm&, const Lines& lines) {
       std::string file, params;
       return Timed([&] {
         for (const std::string& line : lines.text) g_sink = ParseTaskLine(g_fileSystem, line, file, params);
       });
     }},
    {"search", "FindFirstFileW/FindClose of the program in the build tree",
     [](TBenchForm&, const Lines& lines) { return SearchEach(g_otherPlace, lines.text.size()); }},
    {"conversion", "code page 932 to UTF-16, strict (each name the program hands Windows)",
     [](TBenchForm&, const Lines& lines) {
       return Timed([&] {
         for (const std::string& line : lines.text) g_sink = WideFromCp932Strict(line)->size();
       });
     }},
    {"conversion", "UTF-16 to code page 932 and back to check (each text the program reads)",
     [](TBenchForm&, const Lines& lines) {
       return Timed([&] {
         for (const std::wstring& line : lines.wide) g_sink = Cp932FromWide(line)->size();
       });
     }},
    {"list box", "floor: LB_ADDSTRING on a plain list box",
     [](TBenchForm& form, const Lines& lines) {
       HWND list = PlainListBox(form.Handle(), form.Font());
       const double t = Timed([&] {
         for (const std::wstring& line : lines.wide)
           SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
       });
       DestroyWindow(list);
       return t;
     }},
    {"list box", "program: the toolkit's list box in one update, Append each line, then the hand-over",
     [](TBenchForm& form, const Lines& lines) {
       TListBox& list = *form.List();
       return Timed([&] {
         TaskListUpdate update(list);
         for (const std::string& line : lines.text) list.Append(line);
         update.Finish();
       });
     }},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TASK_EXE [REPS]\n", argv[0]);
    return 2;
  }
  g_target = velquin::bench::PlaceTask(argv[1]);
  if (g_target.empty()) {
    std::fprintf(stderr, "cannot copy %s into %s\n", argv[1], velquin::bench::kTaskFolder);
    return 1;
  }
  g_otherPlace = WideFromCp932(argv[1]);
  const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  TApplication app;
  const int steps = static_cast<int>(std::size(kSteps));
  std::printf("target|%s|%s\n", g_target.c_str(), argv[1]);
  for (int s = 0; s < steps; ++s) std::printf("step|%d|%s|%s\n", s, kSteps[s].group, kSteps[s].name);
  for (int count : {10, 100, 1000}) {
    if (!velquin::bench::WriteStoredList(g_target, static_cast<DWORD>(count))) {
      std::fprintf(stderr, "cannot write the list\n");
      return 1;
    }
    const Lines lines = MakeLines(count);
    std::vector<std::vector<double>> times(steps);
    for (int r = 0; r < reps; ++r) {
      for (int k = 0; k < steps; ++k) {
        const int s = (r % 2 == 0) ? k : steps - 1 - k;  // alternate the order
        auto* form = CreateForm<TBenchForm>(&app);
        times[s].push_back(kSteps[s].run(*form, lines) * 1000);
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

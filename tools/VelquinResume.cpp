// Tells a running Velquin what Windows tells it around standby: WM_POWERBROADCAST
// with each event code given (7, PBT_APMRESUMESUSPEND, when none is), or with
// "on", "off" or "dimmed" a change of the console display state, whose record is
// placed in Velquin's own memory, as Windows places it.
//   VelquinResume.exe [code | on | off | dimmed]...
// Ends with 0 when every notification was answered as Windows expects.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// GUID_CONSOLE_DISPLAY_STATE
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

bool Send(HWND window, WPARAM code, LPARAM record, DWORD_PTR& result) {
  return SendMessageTimeoutW(window, WM_POWERBROADCAST, code, record, SMTO_NORMAL, 30000, &result) != 0;
}

// The record in the receiving process: the setting, the length of its data, the state.
bool SendDisplayState(HWND window, DWORD state, DWORD_PTR& result) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return false;
  unsigned char record[sizeof(GUID) + 2 * sizeof(DWORD)];
  const DWORD length = sizeof state;
  std::memcpy(record, &kConsoleDisplayState, sizeof(GUID));
  std::memcpy(record + sizeof(GUID), &length, sizeof length);
  std::memcpy(record + sizeof(GUID) + sizeof length, &state, sizeof state);
  void* remote = VirtualAllocEx(process, nullptr, sizeof record, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool sent = false;
  if (remote && WriteProcessMemory(process, remote, record, sizeof record, nullptr)) {
    sent = Send(window, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(remote), result);
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return sent;
}

}  // namespace

int main(int argc, char** argv) {
  HWND window = FindWindowW(nullptr, L"ヴェルキン Ver, 1,1");
  if (!window) {
    std::fprintf(stderr, "Velquin is not running.\n");
    return 1;
  }
  std::vector<std::string> items(argv + 1, argv + argc);
  if (items.empty()) items.push_back("7");
  int failed = 0;
  for (const std::string& item : items) {
    const int state = item == "off" ? 0 : item == "on" ? 1 : item == "dimmed" ? 2 : -1;
    DWORD_PTR result = 0;
    bool sent;
    if (state >= 0) {
      sent = SendDisplayState(window, static_cast<DWORD>(state), result);
    } else {
      sent = Send(window, std::strtoul(item.c_str(), nullptr, 0), 0, result);
    }
    // A setting change is answered TRUE, the event codes 0.
    const bool expected = result == (state >= 0 ? TRUE : 0);
    std::printf("%s: %s, result %lu\n", item.c_str(), sent ? "sent" : "NOT SENT", static_cast<unsigned long>(result));
    if (!sent || !expected) ++failed;
  }
  return failed ? 2 : 0;
}

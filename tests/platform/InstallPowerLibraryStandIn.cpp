// Makes a test prefix a machine with S0 low-power idle standby for the programs
// named: copies the stand-in power library into the system folder of this
// program's bitness (under a 64-bit prefix the 32-bit one is syswow64, where the
// system folder of a 32-bit program leads) and has Wine load it, instead of its
// own, into those programs only.
//   InstallPowerLibraryStandIn STAND-IN.dll PROGRAM.exe…   (a Unix path is taken as Z:)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: InstallPowerLibraryStandIn STAND-IN.dll PROGRAM.exe...\n");
    return 2;
  }
  std::string source = argv[1];
  if (source.front() == '/') {
    std::replace(source.begin(), source.end(), '/', '\\');
    source = "Z:" + source;
  }
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  const std::string target = std::string(folder, length) + "\\powrprof.dll";
  if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    std::fprintf(stderr, "cannot copy %s to %s: error %lu\n", source.c_str(), target.c_str(), GetLastError());
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + argv[i] + "\\DllOverrides";
    const char native[] = "native";
    if (RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "powrprof", REG_SZ, native, sizeof native) != ERROR_SUCCESS) {
      std::fprintf(stderr, "cannot set the override for %s\n", argv[i]);
      return 1;
    }
  }
  std::printf("powrprof.dll stand-in in %s\n", target.c_str());
  return 0;
}

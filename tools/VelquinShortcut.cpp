// Prints what a shortcut (.lnk) holds, one "name=value" line each: target,
// arguments, directory, show (the show command: 1 normal, 3 maximised, 7 minimised)
// and icon (path,index). Used to check the installer's shortcuts.
//   VelquinShortcut.exe FILE.lnk
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// The show command as the file stores it: the 32-bit field at offset 60 of the
// 76-byte header. Read from the file because Wine's IShellLink answers 1 from
// GetShowCmd whatever the file holds. -1 when the header is not a shortcut's.
int StoredShowCommand(const char* path) {
  unsigned char header[76] = {};
  FILE* file = std::fopen(path, "rb");
  if (!file) return -1;
  const size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got != sizeof header || header[0] != 0x4C || header[1] || header[2] || header[3]) return -1;
  int32_t show = 0;
  std::memcpy(&show, header + 60, sizeof show);
  return show;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: VelquinShortcut FILE.lnk\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  int status = 1;
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t path[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH) &&
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(path, STGM_READ))) {
    char text[MAX_PATH * 2] = {};
    int icon = 0;
    // SLGP_RAWPATH: the target as stored, not resolved against what exists now.
    link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    std::printf("target=%s\n", text);
    text[0] = '\0';
    link->GetArguments(text, sizeof text);
    std::printf("arguments=%s\n", text);
    text[0] = '\0';
    link->GetWorkingDirectory(text, sizeof text);
    std::printf("directory=%s\n", text);
    std::printf("show=%d\n", StoredShowCommand(argv[1]));
    text[0] = '\0';
    link->GetIconLocation(text, sizeof text, &icon);
    std::printf("icon=%s,%d\n", text, icon);
    status = 0;
  } else {
    std::fprintf(stderr, "cannot read the shortcut %s\n", argv[1]);
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return status;
}

// Started with the shipped program's manifest: prints the process's ANSI code page,
// and whether the program named on the command line carries the same manifest.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ManifestOf(HMODULE module) {
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  return bytes ? std::string(static_cast<const char*>(bytes), SizeofResource(module, info)) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  std::string same = "no";
  if (argc > 1) {
    std::string path = argv[1];
    if (path.starts_with('/')) path = "Z:" + path;  // a Unix path, as the test passes it
    for (char& c : path) c = c == '/' ? '\\' : c;
    HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const std::string mine = ManifestOf(nullptr);
    if (program && !mine.empty() && ManifestOf(program) == mine) same = "yes";
  }
  std::printf("code page %u, same manifest: %s\n", GetACP(), same.c_str());
  return 0;
}

#include "platform/Win32Shell.h"

#include <string>

#include "platform/Win32ShellLibrary.h"

namespace velquin {
namespace {

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

bool HasNul(const std::optional<std::string>& text) { return text && HasNul(*text); }

const char* OrNull(const std::optional<std::string>& text) {
  return text ? text->c_str() : nullptr;
}

}  // namespace

void Win32Shell::Execute(const ShellExecuteRequest& request) {
  // The shell would see the texts cut at a NUL and might open another file.
  if (HasNul(request.file) || HasNul(request.verb) || HasNul(request.parameters) ||
      HasNul(request.directory)) {
    return;
  }
  LazyShellExecuteA(reinterpret_cast<HWND>(request.ownerWindow), OrNull(request.verb),
                    request.file.c_str(), OrNull(request.parameters), OrNull(request.directory),
                    request.showCommand);
}

}  // namespace velquin

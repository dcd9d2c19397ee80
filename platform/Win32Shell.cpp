#include "platform/Win32Shell.h"

#include <string>

#include "platform/Win32ShellLibrary.h"
#include "text/CodePage932.h"

namespace velquin {
namespace {

// One text of the call in UTF-16. A text holding a NUL would reach the shell cut
// there, and one that is not code page 932 text would reach it changed: either
// might open another file, so neither is passed on.
class WideArgument {
 public:
  explicit WideArgument(const std::optional<std::string>& text) : given_(text.has_value()) {
    if (text && text->find('\0') == std::string::npos) wide_ = WideFromCp932Strict(*text);
  }
  bool Usable() const { return !given_ || wide_.has_value(); }
  LPCWSTR Get() const { return wide_ ? wide_->c_str() : nullptr; }

 private:
  bool given_;
  std::optional<std::wstring> wide_;
};

}  // namespace

void Win32Shell::Execute(const ShellExecuteRequest& request) {
  const WideArgument verb(request.verb), file(std::optional<std::string>(request.file)),
      parameters(request.parameters), directory(request.directory);
  if (!verb.Usable() || !file.Usable() || !parameters.Usable() || !directory.Usable()) return;
  LazyShellExecuteW(reinterpret_cast<HWND>(request.ownerWindow), verb.Get(), file.Get(), parameters.Get(),
                    directory.Get(), request.showCommand);
}

}  // namespace velquin

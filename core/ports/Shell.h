#pragma once
// Opening a file or address through the shell (ShellExecuteW and its twins).
#include <cstdint>
#include <optional>
#include <string>

namespace velquin {

constexpr int kSwShow = 5;
constexpr int kSwShowNormal = 1;

struct ShellExecuteRequest {
  uintptr_t ownerWindow = 0;
  std::optional<std::string> verb;        // nullopt: the shell's default action
  std::string file;
  std::optional<std::string> parameters;  // nullopt: a null pointer, not ""
  std::optional<std::string> directory;   // nullopt: inherit the current directory
  int showCommand = kSwShowNormal;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Returns without waiting for what it starts; the outcome is of no interest.
  virtual void Execute(const ShellExecuteRequest& request) = 0;
};

}  // namespace velquin

#pragma once
// A shell that opens nothing: it records every request, and can run a hook on each
// (to stand for what may happen while the real shell is busy).
#include <functional>
#include <vector>

#include "core/ports/Shell.h"

namespace velquin {

class RecordingShell : public Shell {
 public:
  void Execute(const ShellExecuteRequest& request) override {
    requests_.push_back(request);
    if (onExecute_) onExecute_(request);
  }

  const std::vector<ShellExecuteRequest>& Requests() const { return requests_; }
  void Clear() { requests_.clear(); }
  void OnExecute(std::function<void(const ShellExecuteRequest&)> hook) {
    onExecute_ = std::move(hook);
  }

 private:
  std::vector<ShellExecuteRequest> requests_;
  std::function<void(const ShellExecuteRequest&)> onExecute_;
};

// A shell that only counts: the cost of a shell call with nothing behind it.
class CountingShell : public Shell {
 public:
  void Execute(const ShellExecuteRequest&) override { ++calls_; }
  long long Calls() const { return calls_; }

 private:
  long long calls_ = 0;
};

}  // namespace velquin

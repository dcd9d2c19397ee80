#pragma once
// The ordered task lines as the main window's list box holds them. The list box is
// the only copy in the program; tests use a vector behind the same interface.
#include <string>
#include <string_view>
#include <utility>

namespace velquin {

class TaskList {
 public:
  virtual ~TaskList() = default;
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual int Append(std::string_view line) = 0;  // returns the new item's index
  virtual void Replace(int index, std::string_view line) = 0;
  virtual void Delete(int index) = 0;
  virtual int ScrollWidth() const = 0;
  virtual void SetScrollWidth(int width) = 0;

  // Between the two the list may hold its changes back and show them all at once at
  // EndUpdate; reading it meanwhile gives the changed lines all the same. Pairs nest.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// Holds a list in one update for a scope. Finish ends the update and may throw;
// leaving the scope otherwise ends it too, and lets no exception out.
class TaskListUpdate {
 public:
  explicit TaskListUpdate(TaskList& list) : list_(&list) { list.BeginUpdate(); }
  ~TaskListUpdate() {
    if (!list_) return;
    try {
      list_->EndUpdate();
    } catch (...) {
    }
  }
  TaskListUpdate(const TaskListUpdate&) = delete;
  TaskListUpdate& operator=(const TaskListUpdate&) = delete;
  void Finish() {
    if (TaskList* list = std::exchange(list_, nullptr)) list->EndUpdate();
  }

 private:
  TaskList* list_;
};

}  // namespace velquin

#pragma once
// The ordered task lines as the main window's list box holds them. The list box is
// the only copy in the program; tests use a vector behind the same interface.
#include <string>
#include <string_view>

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
};

}  // namespace velquin

#pragma once
// The task list as a plain vector, with the list box's scroll width.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/TaskList.h"

namespace velquin {

class VectorTaskList : public TaskList {
 public:
  VectorTaskList() = default;
  explicit VectorTaskList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  int Count() const override { return static_cast<int>(lines_.size()); }
  // An index outside the list throws std::out_of_range: a fault of the caller.
  std::string Item(int index) const override { return lines_.at(Checked(index)); }
  int Append(std::string_view line) override {
    lines_.emplace_back(line);
    return Count() - 1;
  }
  void Replace(int index, std::string_view line) override { lines_.at(Checked(index)) = line; }
  void Delete(int index) override {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(Checked(index)));
  }
  int ScrollWidth() const override { return scrollWidth_; }
  void SetScrollWidth(int width) override { scrollWidth_ = width; }

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  size_t Checked(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("task list index");
    return static_cast<size_t>(index);
  }

  std::vector<std::string> lines_;
  int scrollWidth_ = 0;
};

}  // namespace velquin

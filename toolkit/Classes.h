#pragma once
// The component base of the toolkit: an owner, a name, and destruction together
// with the owner. Also the string list. Portable: no window in sight.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velquin {

class TComponent;
using TNotifyEvent = std::function<void(TComponent* Sender)>;

class TComponent {
 public:
  explicit TComponent(TComponent* owner, std::string name = {});
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  TComponent* FindComponent(std::string_view name) const;

  // Runs what needs the whole object (events, closing windows), then deletes it.
  // Every component goes this way, also those freed by their owner.
  static void Free(TComponent* component);

 protected:
  // The last step while the object is still complete; called once by Free.
  virtual void BeforeDestruction() {}
  // Frees the owned components, the newest first.
  void DestroyComponents();

 private:
  TComponent* owner_;
  std::string name_;
  std::vector<TComponent*> components_;
};

// Finds an owned component by name and kind; nullptr when there is none.
template <class T>
T* FindOwned(const TComponent& owner, std::string_view name) {
  return dynamic_cast<T*>(owner.FindComponent(name));
}

// An ordered list of text lines.
class TStringList {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int index) const { return lines_.at(index); }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }
  // All lines, each followed by CR LF.
  std::string Text() const;
  // Replaces the lines with those of `text`, split at CR LF, LF or CR.
  void SetText(std::string_view text);

 private:
  std::vector<std::string> lines_;
};

}  // namespace velquin

#pragma once
// Actions and action lists, popup menus bound to actions, the timer and the
// application-events component.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace velquin {

class TActionList;
class TButton;

// A command with a caption ("&" marks the access key) and an enabled state. It
// belongs to the form that owns its list, so that the form finds it by name.
class TAction : public TComponent {
 public:
  TAction(TActionList* list, std::string name, std::string caption, TNotifyEvent onExecute = {});
  ~TAction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TActionList* ActionList() const { return list_; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  // Refreshes the state: the list's update handler, unless it handles the action,
  // then the action's own.
  void Update();
  // Refreshes the state, then runs OnExecute if the action is enabled. Returns
  // whether it ran.
  bool Execute();

  void AddClient(TButton* client) { clients_.push_back(client); }
  void RemoveClient(TButton* client);
  void ListGone() { list_ = nullptr; }

 private:
  void Changed();
  TActionList* list_;
  std::string caption_;
  bool enabled_ = true;
  std::vector<TButton*> clients_;
};

class TActionList : public TComponent {
 public:
  TActionList(TComponent* owner, std::string name);
  ~TActionList() override;

  // A new action of the list, owned by the list's owner.
  TAction* Add(std::string name, std::string caption, TNotifyEvent onExecute);
  const std::vector<TAction*>& Actions() const { return actions_; }
  void Remove(TAction* action);
  // Refreshes every action (the application does this when it is idle).
  void UpdateActions();

  std::function<void(TAction* Action, bool& Handled)> OnUpdate;

 private:
  friend class TAction;
  std::vector<TAction*> actions_;
};

class TPopupMenu;

// A menu entry showing its action's caption and enabled state.
class TMenuItem : public TComponent {
 public:
  TMenuItem(TPopupMenu* menu, std::string name, TAction* action);
  ~TMenuItem() override;
  TAction* Action() const { return action_; }
  void MenuGone() { menu_ = nullptr; }
  std::string Caption() const;
  bool Enabled() const;
  void Click();

 private:
  TPopupMenu* menu_;
  TAction* action_;
};

class TPopupMenu : public TComponent {
 public:
  TPopupMenu(TComponent* owner, std::string name);
  ~TPopupMenu() override;
  // A new entry, owned by the menu's owner.
  TMenuItem* Add(std::string name, TAction* action);
  const std::vector<TMenuItem*>& Items() const { return items_; }
  void Remove(TMenuItem* item);
  // Refreshes the actions, shows the menu at the screen point and runs the entry
  // chosen.
  void Popup(int x, int y);

  // How the built menu is tracked; returns the chosen entry's command (its index
  // plus 1) or 0. Replaceable so that tests can choose without a mouse.
  static std::function<UINT(HMENU menu, int x, int y, HWND owner)> Track;

 private:
  std::vector<TMenuItem*> items_;
};

// Ticks as a message on the user-interface thread, also inside modal loops.
class TTimer : public TComponent {
 public:
  TTimer(TComponent* owner, std::string name, UINT interval = 1000);
  ~TTimer() override;
  bool Enabled() const { return id_ != 0; }
  // Enabling starts the interval anew; disabling stops further ticks.
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT interval);
  TNotifyEvent OnTimer;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  UINT interval_;
  UINT_PTR id_ = 0;
};

// Delivers the application's events to a form.
class TApplicationEvents : public TComponent {
 public:
  TApplicationEvents(TComponent* owner, std::string name);
  ~TApplicationEvents() override;
  TNotifyEvent OnMinimize;
};

}  // namespace velquin

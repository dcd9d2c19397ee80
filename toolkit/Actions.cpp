#include "toolkit/Actions.h"

#include <algorithm>
#include <map>

#include "text/CodePage932.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

namespace velquin {

// --- TAction ------------------------------------------------------------------------

TAction::TAction(TActionList* list, std::string name, std::string caption, TNotifyEvent onExecute)
    : TComponent(list ? list->Owner() : nullptr, std::move(name)),
      OnExecute(std::move(onExecute)),
      list_(list),
      caption_(std::move(caption)) {
  if (list_) list_->actions_.push_back(this);
}

TAction::~TAction() {
  for (TButton* client : std::vector<TButton*>(clients_)) client->SetAction(nullptr);
  if (list_) list_->Remove(this);
}

void TAction::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void TAction::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TAction::Changed() {
  for (TButton* client : clients_) client->ActionChanged();
}

void TAction::RemoveClient(TButton* client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
}

void TAction::Update() {
  bool handled = false;
  if (list_ && list_->OnUpdate) list_->OnUpdate(this, handled);
  if (!handled && OnUpdate) OnUpdate(this);
}

bool TAction::Execute() {
  Update();
  if (!enabled_) return false;
  if (OnExecute) OnExecute(this);
  return true;
}

// --- TActionList --------------------------------------------------------------------

TActionList::TActionList(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {
  if (Application()) Application()->AddActionList(this);
}

TActionList::~TActionList() {
  for (TAction* action : actions_) action->ListGone();
  if (Application()) Application()->RemoveActionList(this);
}

TAction* TActionList::Add(std::string name, std::string caption, TNotifyEvent onExecute) {
  return new TAction(this, std::move(name), std::move(caption), std::move(onExecute));
}

void TActionList::Remove(TAction* action) {
  actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
}

void TActionList::UpdateActions() {
  for (TAction* action : std::vector<TAction*>(actions_)) action->Update();
}

// --- TMenuItem, TPopupMenu ----------------------------------------------------------

TMenuItem::TMenuItem(TPopupMenu* menu, std::string name, TAction* action)
    : TComponent(menu->Owner(), std::move(name)), menu_(menu), action_(action) {}

TMenuItem::~TMenuItem() {
  if (menu_) menu_->Remove(this);
}

std::string TMenuItem::Caption() const { return action_ ? action_->Caption() : std::string(); }

bool TMenuItem::Enabled() const { return !action_ || action_->Enabled(); }

void TMenuItem::Click() {
  if (action_) action_->Execute();
}

std::function<UINT(HMENU, int, int, HWND)> TPopupMenu::Track = [](HMENU menu, int x, int y, HWND owner) -> UINT {
  SetForegroundWindow(owner);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return command;
};

TPopupMenu::TPopupMenu(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

TPopupMenu::~TPopupMenu() {
  for (TMenuItem* item : items_) item->MenuGone();
}

TMenuItem* TPopupMenu::Add(std::string name, TAction* action) {
  auto* item = new TMenuItem(this, std::move(name), action);
  items_.push_back(item);
  return item;
}

void TPopupMenu::Remove(TMenuItem* item) { items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end()); }

void TPopupMenu::Popup(int x, int y) {
  const std::vector<TMenuItem*> items = items_;
  for (TMenuItem* item : items) {
    if (item->Action()) item->Action()->Update();
  }
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (size_t i = 0; i < items.size(); ++i) {
    AppendMenuW(menu, MF_STRING | (items[i]->Enabled() ? MF_ENABLED : MF_GRAYED), i + 1,
                WideFromCp932(items[i]->Caption()).c_str());
  }
  auto* form = dynamic_cast<TForm*>(Owner());
  const UINT command = Track(menu, x, y, form ? form->Handle() : nullptr);
  DestroyMenu(menu);
  if (command >= 1 && command <= items.size()) items[command - 1]->Click();
}

// --- TTimer -------------------------------------------------------------------------

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer(TComponent* owner, std::string name, UINT interval)
    : TComponent(owner, std::move(name)), interval_(interval) {}

TTimer::~TTimer() { SetEnabled(false); }

void TTimer::SetEnabled(bool enabled) {
  if (id_) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (enabled && interval_ > 0) {
    id_ = SetTimer(nullptr, 0, interval_, TimerProc);
    if (id_) Timers()[id_] = this;
  }
}

void TTimer::SetInterval(UINT interval) {
  interval_ = interval;
  if (Enabled()) SetEnabled(true);
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  TTimer* timer = it->second;
  if (timer->OnTimer) Guarded([timer] { timer->OnTimer(timer); });
}

// --- TApplicationEvents -------------------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {
  if (Application()) Application()->AddEvents(this);
}

TApplicationEvents::~TApplicationEvents() {
  if (Application()) Application()->RemoveEvents(this);
}

}  // namespace velquin

#include "platform/windows/Menus.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/windows/ControlHost.h"
#include "platform/windows/QtRuntime.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

// The shown items of parent as actions of menu; choosing one clicks its item.
void FillMenu(QMenu& menu, const TMenuItem& parent) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    if (item->Caption() == "-") {
      menu.addSeparator();
      continue;
    }
    QAction* action = nullptr;
    if (item->Count() > 0) {
      QMenu* submenu = menu.addMenu(ToQString(item->Caption()));
      FillMenu(*submenu, *item);
      action = submenu->menuAction();
    } else {
      action = menu.addAction(ToQString(item->Caption()));
      QObject::connect(action, &QAction::triggered, action,
                       [item] { GuardEvent([item] { item->Click(); }); });
    }
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked());
    action->setChecked(item->Checked());
  }
}

std::vector<TShownMenuEntry> Describe(const QMenu& menu) {
  std::vector<TShownMenuEntry> entries;
  for (const QAction* action : menu.actions()) {
    TShownMenuEntry entry;
    entry.Separator = action->isSeparator();
    entry.Caption = FromQString(action->text());
    entry.Enabled = action->isEnabled();
    entry.Checked = action->isChecked();
    if (const QMenu* submenu = action->menu<QMenu*>()) entry.Entries = Describe(*submenu);
    entries.push_back(std::move(entry));
  }
  return entries;
}

// The entry at path as a click reaches it: through enabled submenus to an enabled command.
QAction* ReachableAction(QMenu& menu, const std::vector<int>& path) {
  QMenu* level = &menu;
  QAction* action = nullptr;
  for (int index : path) {
    if (!level) return nullptr;
    const QList<QAction*> actions = level->actions();
    if (index < 0 || index >= actions.size()) return nullptr;
    action = actions[index];
    if (!action->isEnabled() || action->isSeparator()) return nullptr;
    level = action->menu<QMenu*>();
  }
  return level ? nullptr : action;
}

}  // namespace

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Changed();
  if (parent_) parent_->Remove(this);
  for (TMenuItem* item : items_) item->parent_ = nullptr;
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : int(found - items_.begin());
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  for (const TMenuItem* holder = this; holder; holder = holder->parent_)
    if (holder == item) throw EMenuError("A menu item cannot hold itself");
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto found = std::find(items_.begin(), items_.end(), item);
  if (found == items_.end()) return;
  items_.erase(found);
  item->parent_ = nullptr;
  Changed();
}

TPopupMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

void TMenuItem::Click() {
  // A copy runs: the handler may free this item.
  if (TNotifyEvent handler = OnClick) handler(this);
}

void TMenuItem::Changed() {
  if (TPopupMenu* menu = GetParentMenu()) menu->CloseMenu();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TPopupMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
  else
    throw EMenuError("The menu item " + Name() + " is not inside a menu");
}

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(Make<TMenuItem>()) {
  items_->menu_ = this;
}

TPopupMenu::~TPopupMenu() {
  CloseMenu();
  items_->menu_ = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  // The old link stays: it may also be the one of a control showing this menu.
  if (component) component->FreeNotification(this);
  popupComponent_ = component;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::CloseMenu() {
  QMenu* menu = std::exchange(shown_, nullptr);
  if (!menu) return;
  menu->hide();
  menu->deleteLater();
}

void TPopupMenu::Popup(int x, int y) {
  CloseMenu();
  EnsureQtApplication();
  auto menu = std::make_unique<QMenu>();
  FillMenu(*menu, *items_);
  if (auto& hook = TestHooks().popupMenu) {
    const std::vector<int> path = hook(Describe(*menu), {x, y});
    // The click may free this popup menu; the Qt menu goes once the click has returned.
    QPointer<QMenu> chosenFrom = menu.release();
    if (QAction* action = ReachableAction(*chosenFrom, path)) action->trigger();
    if (chosenFrom) chosenFrom->deleteLater();
    return;
  }
  shown_ = menu.release();
  QObject::connect(shown_, &QMenu::aboutToHide, shown_, [this, menu = shown_] {
    if (shown_ == menu) shown_ = nullptr;
    menu->deleteLater();
  });
  shown_->popup(QPoint(x, y));
}

}  // namespace plat

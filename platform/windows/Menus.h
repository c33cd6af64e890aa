// Popup menus: the menu a control shows on a right click (or the menu key) and its items, shown
// through Qt's menus. Items are components their owner frees; a menu or an item only lists the
// items nested in it.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/Components.h"

class QMenu;

namespace plat {

class TPopupMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "&" marks the mnemonic ("&&" is an ampersand); "-" makes the item a separator line.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // The items nested in this one: a submenu.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item) { Insert(Count(), item); }
  // Moves item here from wherever it was; raises EMenuError for an item holding this one.
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenuItem* Parent() const { return parent_; }
  // The popup menu this item belongs to, or nullptr.
  TPopupMenu* GetParentMenu() const;

  // Runs OnClick; called when the item is chosen.
  virtual void Click();
  TNotifyEvent OnClick;

  // A stored layout nests items in a popup menu or in another item.
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TPopupMenu;
  // A change while the menu shows closes it: what it shows is no longer true.
  void Changed();
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  std::vector<TMenuItem*> items_;  // not owned
  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // set on a menu's root item only
};

PLAT_EXCEPTION_CLASS(EMenuError, Exception)

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // The root item; the menu shows the items nested in it.
  TMenuItem* Items() const { return items_; }
  // Shows the menu with its top-left corner at a screen point and returns at once; the chosen
  // item's OnClick runs when the user picks it.
  virtual void Popup(int x, int y);
  // The control the menu was last shown for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);
  // Hides the menu if it shows.
  void CloseMenu();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* items_;
  TComponent* popupComponent_ = nullptr;
  QMenu* shown_ = nullptr;  // owned while shown; freed once its events have returned
};

}  // namespace plat

#include "platform/runtime/Components.h"

#include <algorithm>
#include <map>

namespace plat {
namespace {

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return r;
}

std::map<std::string, TComponentFactory>& Factories() {
  static std::map<std::string, TComponentFactory> factories;
  return factories;
}

template <class V, class T>
void Erase(V& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Owned components go first, newest first, while this one is still whole.
  while (!owned_.empty()) {
    std::unique_ptr<TComponent> last = std::move(owned_.back());
    owned_.pop_back();
    last.reset();
  }
  // Components owned in memory elsewhere (a dialog held by its caller) lose their owner.
  for (TComponent* c : components_) c->owner_ = nullptr;
  components_.clear();
  for (TComponent* other : std::vector<TComponent*>(notified_)) {
    Erase(other->notified_, this);
    other->Notification(this, opRemove);
  }
  if (owner_) {
    owner_->Detach(this);
    owner_->Notification(this, opRemove);
  }
}

void TComponent::Detach(TComponent* component) {
  Erase(components_, component);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && owner_) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  std::string wanted = Lower(name);
  for (TComponent* c : components_)
    if (Lower(c->name_) == wanted) return c;
  return nullptr;
}

void TComponent::Own(std::unique_ptr<TComponent> component) {
  if (!component) return;
  if (component->owner_ != this) {
    if (component->owner_) component->owner_->Detach(component.get());
    component->owner_ = this;
    components_.push_back(component.get());
  }
  owned_.push_back(std::move(component));
}

void TComponent::DestroyComponent(TComponent* component) {
  auto it = std::find_if(owned_.begin(), owned_.end(),
                         [&](const auto& p) { return p.get() == component; });
  if (it == owned_.end()) return;
  std::unique_ptr<TComponent> doomed = std::move(*it);
  owned_.erase(it);
  doomed.reset();
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(notified_.begin(), notified_.end(), other) == notified_.end()) {
    notified_.push_back(other);
    other->notified_.push_back(this);  // both directions: either may go first
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  Erase(notified_, other);
  if (other) Erase(other->notified_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) Erase(notified_, component);
}

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
  Factories()[Lower(className)] = std::move(factory);
}

const TComponentFactory* FindComponentClass(std::string_view className) {
  auto found = Factories().find(Lower(className));
  return found == Factories().end() ? nullptr : &found->second;
}

}  // namespace plat

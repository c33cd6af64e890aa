// Components: objects with an owner that frees them, a name, and free notification.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"

namespace plat {

PLAT_EXCEPTION_CLASS(EComponentError, Exception)

enum TComponentStateBit : uint32_t { csLoading = 1, csDesigning = 2, csDestroying = 4 };
using TComponentState = uint32_t;
enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  // Registers with the owner, which lists it; memory ownership is separate (see Own).
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  TComponentState ComponentState() const { return state_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // Case-insensitive search among the components this one owns; nullptr when absent.
  TComponent* FindComponent(std::string_view name) const;

  // Creates a T(this, args...) that this component owns and frees.
  template <class T, class... A>
  T* Make(A&&... args) {
    auto object = std::make_unique<T>(this, std::forward<A>(args)...);
    T* result = object.get();
    Own(std::move(object));
    return result;
  }
  // Takes memory ownership of a component (normally one whose owner is this).
  void Own(std::unique_ptr<TComponent> component);
  // Frees a component this one owns (or detaches one it does not own in memory).
  void DestroyComponent(TComponent* component);

  // Asks for a Notification(this, opRemove) on `other` when this component is destroyed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // The form reader's nesting: a control becomes a child of the enclosing window control.
  virtual void SetParentComponent(TComponent*) {}
  // Called by the form reader around property loading.
  void BeginLoading() { state_ |= csLoading; }
  virtual void Loaded() { state_ &= ~csLoading; }

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  void SetDestroying() { state_ |= csDestroying; }

 private:
  void Detach(TComponent* component);
  TComponent* owner_;
  std::string name_;
  TComponentState state_ = 0;
  std::vector<TComponent*> components_;             // listed in creation order
  std::vector<std::unique_ptr<TComponent>> owned_;  // freed in reverse creation order
  std::vector<TComponent*> notified_;               // told when this one goes away
};

// Class registry used to create components by class name (the form reader).
using TComponentFactory = std::function<std::unique_ptr<TComponent>(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
template <class T>
void RegisterComponentClass(const std::string& className) {
  RegisterComponentClass(className, [](TComponent* owner) -> std::unique_ptr<TComponent> {
    return std::make_unique<T>(owner);
  });
}
// nullptr when the class is not registered.
const TComponentFactory* FindComponentClass(std::string_view className);

}  // namespace plat

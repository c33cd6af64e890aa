// Published-property table: per class, named properties with a kind and get/set through a small
// variant. The form reader sets properties by name over it and the engine copies settings with it.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <variant>
#include <vector>

#include "platform/runtime/Classes.h"
#include "platform/runtime/SysUtils.h"

namespace plat {

PLAT_EXCEPTION_CLASS(EPropertyError, Exception)

enum TTypeKind : uint8_t {
  tkUnknown,
  tkInteger,
  tkEnumeration,  // Booleans are the enumeration "Boolean" (False, True)
  tkSet,
  tkFloat,
  tkString,
  tkClass,
  tkMethod,
};
using TTypeKinds = uint32_t;  // bit mask of 1 << TTypeKind
constexpr TTypeKinds TypeKindBit(TTypeKind kind) {
  return TTypeKinds{1} << kind;
}
constexpr TTypeKinds tkAny = 0xFFFFFFFFu;
constexpr TTypeKinds tkProperties = tkAny & ~TypeKindBit(tkUnknown) & ~TypeKindBit(tkMethod);

// An enumeration's identifiers by ordinal (0, 1, 2, ...), also the element type of a set.
struct TEnumInfo {
  std::string Name;
  std::vector<std::string> Names;
  // Ordinal of the identifier (case-insensitive) or -1.
  int ValueOf(std::string_view ident) const;
  const std::string& NameOf(int64_t ordinal) const;  // raises for an ordinal out of range
};
const TEnumInfo& BooleanInfo();

// Ordinal kinds (integer, enumeration, set, Boolean) travel as int64; a set is a mask of
// 1 << ordinal; a method is a std::function of the event's exact type inside std::any (empty
// when unassigned).
using TValue = std::variant<std::monostate, int64_t, double, std::string, TObject*, std::any>;

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  const TEnumInfo* Enum = nullptr;  // enumerations and sets
  // Integer properties that also take identifiers (colours, cursors): returns false when unknown.
  std::function<bool(std::string_view, int64_t&)> IdentToInt;
  std::function<TValue(const TObject&)> Get;
  std::function<void(TObject&, const TValue&)> Set;  // empty for read-only properties
};

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  std::vector<TPropInfo> Props;  // own properties; the parent's come first in lists
  std::function<bool(const TObject&)> IsInstance;
  int Depth() const { return Parent ? Parent->Depth() + 1 : 0; }
};

// Registered class of an object: its own class or the most derived registered ancestor.
const TClassInfo* ClassInfoOf(const TObject& object);
const TClassInfo* FindClassInfo(std::string_view className);
// Case-insensitive search up the class chain.
const TPropInfo* FindPropInfo(const TClassInfo& info, std::string_view name);
const TPropInfo* FindPropInfo(const TObject& object, std::string_view name);
// Parent properties first, then own ones, filtered by kind.
std::vector<const TPropInfo*> GetPropList(const TObject& object, TTypeKinds kinds = tkAny);

// Raw access; raises EPropertyError "Unknown property: NAME" or for read-only writes.
TValue GetPropValue(const TObject& object, std::string_view name);
void SetPropValue(TObject& object, std::string_view name, const TValue& value);
// Variant-style access: enumerations and Booleans as their identifiers, sets as "[a,b]".
TValue GetVariantProp(const TObject& object, const TPropInfo& prop);
void SetVariantProp(TObject& object, const TPropInfo& prop, const TValue& value);
std::string SetToString(const TEnumInfo& info, int64_t mask);
int64_t StringToSet(const TEnumInfo& info, std::string_view text);  // "[a, b]" or "a,b"

// Value conversions used by the registrar.
namespace typinfo_detail {
template <class V>
TValue ToValue(const V& v) {
  if constexpr (std::is_same_v<V, bool> || std::is_integral_v<V> || std::is_enum_v<V>)
    return static_cast<int64_t>(v);
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<double>(v);
  else if constexpr (std::is_same_v<V, std::string>)
    return v;
  else if constexpr (std::is_pointer_v<V>)
    return static_cast<TObject*>(const_cast<std::remove_const_t<std::remove_pointer_t<V>>*>(v));
  else
    return std::any(v);
}
std::string KindMismatch(const char* expected);
template <class V>
V FromValue(const TValue& value) {
  if constexpr (std::is_same_v<V, bool> || std::is_integral_v<V> || std::is_enum_v<V>) {
    if (auto p = std::get_if<int64_t>(&value)) return static_cast<V>(*p);
    throw EPropertyError(KindMismatch("an ordinal"));
  } else if constexpr (std::is_floating_point_v<V>) {
    if (auto p = std::get_if<double>(&value)) return static_cast<V>(*p);
    if (auto p = std::get_if<int64_t>(&value)) return static_cast<V>(*p);
    throw EPropertyError(KindMismatch("a number"));
  } else if constexpr (std::is_same_v<V, std::string>) {
    if (auto p = std::get_if<std::string>(&value)) return *p;
    throw EPropertyError(KindMismatch("a string"));
  } else if constexpr (std::is_pointer_v<V>) {
    if (std::holds_alternative<std::monostate>(value)) return nullptr;
    if (auto p = std::get_if<TObject*>(&value)) {
      if (*p == nullptr) return nullptr;
      if (auto typed = dynamic_cast<V>(*p)) return typed;
      throw EPropertyError(KindMismatch("an object of another class"));
    }
    throw EPropertyError(KindMismatch("an object"));
  } else {
    if (std::holds_alternative<std::monostate>(value)) return V{};
    if (auto p = std::get_if<std::any>(&value)) {
      if (!p->has_value()) return V{};
      if (auto f = std::any_cast<V>(p)) return *f;
    }
    throw EPropertyError(KindMismatch("a handler of the event's type"));
  }
}
TClassInfo& NewClassInfo(std::type_index type, std::string name, const TClassInfo* parent,
                         std::function<bool(const TObject&)> isInstance);
const TClassInfo* ClassInfoOfType(std::type_index type);
}  // namespace typinfo_detail

// Registers class C (derived from registered Parent, or TObject for a root) and its properties:
//   TClassRegistrar<TButton, TWinControl>("TButton").Prop("Caption", tkString, &TButton::Caption,
//       &TButton::SetCaption).Event("OnClick", &TButton::OnClick);
template <class C, class Parent = TObject>
class TClassRegistrar {
 public:
  explicit TClassRegistrar(std::string name)
      : info_(typinfo_detail::NewClassInfo(
            typeid(C), std::move(name),
            std::is_same_v<Parent, TObject> ? nullptr
                                            : typinfo_detail::ClassInfoOfType(typeid(Parent)),
            [](const TObject& o) { return dynamic_cast<const C*>(&o) != nullptr; })) {}

  // Getter and setter as member functions; the setter may be nullptr for read-only properties.
  template <class R, class G, class A, class S>
  TClassRegistrar& Prop(std::string name, TTypeKind kind, R (G::*get)() const, void (S::*set)(A),
                        const TEnumInfo* enumInfo = nullptr) {
    using V = std::decay_t<R>;
    using W = std::decay_t<A>;
    TPropInfo p{std::move(name), kind, enumInfo, {}, {}, {}};
    p.Get = [get](const TObject& o) {
      return typinfo_detail::ToValue<V>((static_cast<const C&>(o).*get)());
    };
    if (set)
      p.Set = [set](TObject& o, const TValue& v) {
        (static_cast<C&>(o).*set)(typinfo_detail::FromValue<W>(v));
      };
    info_.Props.push_back(std::move(p));
    return *this;
  }
  template <class R, class G>
  TClassRegistrar& ReadOnly(std::string name, TTypeKind kind, R (G::*get)() const) {
    return Prop(std::move(name), kind, get, static_cast<void (C::*)(R)>(nullptr));
  }
  // Object property reached through a non-const getter (Font, Items, Bitmap): nested properties
  // and lists are set on the object it returns.
  template <class R, class G>
  TClassRegistrar& Object(std::string name, R* (G::*get)()) {
    TPropInfo p{std::move(name), tkClass, nullptr, {}, {}, {}};
    p.Get = [get](const TObject& o) {
      return TValue(static_cast<TObject*>((const_cast<C&>(static_cast<const C&>(o)).*get)()));
    };
    info_.Props.push_back(std::move(p));
    return *this;
  }
  // The same through a getter that hands out the object it holds (Bitmap of an image control).
  template <class R, class G>
  TClassRegistrar& Object(std::string name, R& (G::*get)() const) {
    TPropInfo p{std::move(name), tkClass, nullptr, {}, {}, {}};
    p.Get = [get](const TObject& o) {
      return TValue(static_cast<TObject*>(&(static_cast<const C&>(o).*get)()));
    };
    info_.Props.push_back(std::move(p));
    return *this;
  }
  // Event stored in a public std::function member.
  template <class F, class G>
  TClassRegistrar& Event(std::string name, F G::*member) {
    TPropInfo p{std::move(name), tkMethod, nullptr, {}, {}, {}};
    p.Get = [member](const TObject& o) {
      return TValue(std::any(static_cast<const C&>(o).*member));
    };
    p.Set = [member](TObject& o, const TValue& v) {
      static_cast<C&>(o).*member = typinfo_detail::FromValue<F>(v);
    };
    info_.Props.push_back(std::move(p));
    return *this;
  }
  // Event whose setter does more than store the handler: read and written through members.
  template <class F, class G, class S>
  TClassRegistrar& Event(std::string name, const F& (G::*get)() const, void (S::*set)(F)) {
    TPropInfo p{std::move(name), tkMethod, nullptr, {}, {}, {}};
    p.Get = [get](const TObject& o) { return TValue(std::any((static_cast<const C&>(o).*get)())); };
    p.Set = [set](TObject& o, const TValue& v) {
      (static_cast<C&>(o).*set)(typinfo_detail::FromValue<F>(v));
    };
    info_.Props.push_back(std::move(p));
    return *this;
  }
  // Lets an integer property take identifiers too (the last property added).
  TClassRegistrar& Idents(std::function<bool(std::string_view, int64_t&)> identToInt) {
    info_.Props.back().IdentToInt = std::move(identToInt);
    return *this;
  }
  const TClassInfo& Info() const { return info_; }

 private:
  TClassInfo& info_;
};

}  // namespace plat

#include "platform/runtime/TypInfo.h"

#include <map>
#include <typeinfo>

namespace plat {
namespace {

bool SameIdent(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

struct Registry {
  std::vector<std::unique_ptr<TClassInfo>> classes;
  std::map<std::type_index, TClassInfo*> exact;        // registered types
  std::map<std::type_index, const TClassInfo*> cache;  // other types, by their nearest ancestor
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::string Trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

int TEnumInfo::ValueOf(std::string_view ident) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameIdent(Names[i], ident)) return static_cast<int>(i);
  return -1;
}

const std::string& TEnumInfo::NameOf(int64_t ordinal) const {
  if (ordinal < 0 || ordinal >= static_cast<int64_t>(Names.size()))
    throw EPropertyError("Value " + std::to_string(ordinal) + " is out of range for " + Name);
  return Names[static_cast<size_t>(ordinal)];
}

const TEnumInfo& BooleanInfo() {
  static const TEnumInfo info{"Boolean", {"False", "True"}};
  return info;
}

namespace typinfo_detail {

std::string KindMismatch(const char* expected) {
  return std::string("Property value is not ") + expected;
}

TClassInfo& NewClassInfo(std::type_index type, std::string name, const TClassInfo* parent,
                         std::function<bool(const TObject&)> isInstance) {
  auto& registry = TheRegistry();
  registry.cache.clear();  // look-ups may have settled on a less derived class
  auto found = registry.exact.find(type);
  if (found != registry.exact.end()) {
    // Registered again (a second start-up in tests): start the property list afresh.
    found->second->Props.clear();
    return *found->second;
  }
  registry.classes.push_back(
      std::make_unique<TClassInfo>(TClassInfo{std::move(name), parent, {}, std::move(isInstance)}));
  registry.exact[type] = registry.classes.back().get();
  return *registry.classes.back();
}

const TClassInfo* ClassInfoOfType(std::type_index type) {
  auto& registry = TheRegistry();
  auto found = registry.exact.find(type);
  return found == registry.exact.end() ? nullptr : found->second;
}

}  // namespace typinfo_detail

const TClassInfo* ClassInfoOf(const TObject& object) {
  auto& registry = TheRegistry();
  std::type_index type(typeid(object));
  if (auto exact = registry.exact.find(type); exact != registry.exact.end()) return exact->second;
  if (auto cached = registry.cache.find(type); cached != registry.cache.end())
    return cached->second;
  const TClassInfo* best = nullptr;
  for (auto& info : registry.classes)
    if (info->IsInstance(object) && (!best || info->Depth() > best->Depth())) best = info.get();
  registry.cache[type] = best;
  return best;
}

const TClassInfo* FindClassInfo(std::string_view className) {
  for (auto& info : TheRegistry().classes)
    if (SameIdent(info->Name, className)) return info.get();
  return nullptr;
}

const TPropInfo* FindPropInfo(const TClassInfo& info, std::string_view name) {
  for (const TClassInfo* c = &info; c; c = c->Parent)
    for (auto& p : c->Props)
      if (SameIdent(p.Name, name)) return &p;
  return nullptr;
}

const TPropInfo* FindPropInfo(const TObject& object, std::string_view name) {
  const TClassInfo* info = ClassInfoOf(object);
  return info ? FindPropInfo(*info, name) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject& object, TTypeKinds kinds) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = ClassInfoOf(object); c; c = c->Parent) chain.insert(chain.begin(), c);
  std::vector<const TPropInfo*> list;
  for (auto* c : chain)
    for (auto& p : c->Props) {
      if (!(kinds & TypeKindBit(p.Kind))) continue;
      // A descendant's redeclaration replaces the inherited entry in place.
      bool replaced = false;
      for (auto& existing : list)
        if (SameIdent(existing->Name, p.Name)) existing = &p, replaced = true;
      if (!replaced) list.push_back(&p);
    }
  return list;
}

static const TPropInfo& RequireProp(const TObject& object, std::string_view name) {
  const TPropInfo* p = FindPropInfo(object, name);
  if (!p) throw EPropertyError("Unknown property: " + std::string(name));
  return *p;
}

TValue GetPropValue(const TObject& object, std::string_view name) {
  return RequireProp(object, name).Get(object);
}

void SetPropValue(TObject& object, std::string_view name, const TValue& value) {
  const TPropInfo& p = RequireProp(object, name);
  if (!p.Set) throw EPropertyError("Property " + p.Name + " is read-only");
  p.Set(object, value);
}

std::string SetToString(const TEnumInfo& info, int64_t mask) {
  std::string text = "[";
  for (size_t i = 0; i < info.Names.size() && i < 63; ++i)
    if (mask & (int64_t{1} << i)) {
      if (text.size() > 1) text += ',';
      text += info.Names[i];
    }
  return text + "]";
}

int64_t StringToSet(const TEnumInfo& info, std::string_view text) {
  std::string body = Trimmed(text);
  if (!body.empty() && body.front() == '[') {
    if (body.back() != ']') throw EPropertyError("Invalid set: " + body);
    body = body.substr(1, body.size() - 2);
  }
  int64_t mask = 0;
  size_t start = 0;
  while (start <= body.size()) {
    size_t comma = body.find(',', start);
    std::string ident = Trimmed(std::string_view(body).substr(
        start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!ident.empty()) {
      int ordinal = info.ValueOf(ident);
      if (ordinal < 0) throw EPropertyError("Unknown " + info.Name + " element: " + ident);
      mask |= int64_t{1} << ordinal;
    } else if (comma != std::string::npos) {
      throw EPropertyError("Invalid set: " + std::string(text));
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return mask;
}

TValue GetVariantProp(const TObject& object, const TPropInfo& prop) {
  TValue value = prop.Get(object);
  if (prop.Enum && std::holds_alternative<int64_t>(value)) {
    int64_t ordinal = std::get<int64_t>(value);
    if (prop.Kind == tkEnumeration) return prop.Enum->NameOf(ordinal);
    if (prop.Kind == tkSet) return SetToString(*prop.Enum, ordinal);
  }
  return value;
}

void SetVariantProp(TObject& object, const TPropInfo& prop, const TValue& value) {
  if (!prop.Set) throw EPropertyError("Property " + prop.Name + " is read-only");
  if (auto text = std::get_if<std::string>(&value); text && prop.Enum) {
    if (prop.Kind == tkSet) return prop.Set(object, StringToSet(*prop.Enum, *text));
    int ordinal = prop.Enum->ValueOf(Trimmed(*text));
    if (ordinal < 0) throw EPropertyError("Unknown " + prop.Enum->Name + " value: " + *text);
    return prop.Set(object, int64_t{ordinal});
  }
  prop.Set(object, value);
}

}  // namespace plat

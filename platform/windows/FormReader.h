// Stored window layouts: forms/NAME.form, embedded in the program, read when a window is created.
//
// The text format: "#" starts a comment line; an object is "CLASS NAME {", then lines
// "Property = value" or "Object.Property = value", nested objects, and "}". Values are numbers
// (12, -3, $FF, 1.5), strings ("text", adjacent strings join, escapes \" \\ \n \t), identifiers
// (enumeration values, True/False, colour and cursor names, handler names of events), sets
// ([akLeft, akTop]), string lists (["one", "two"]) and binary values ({0A1B ...}: pairs of
// hexadecimal digits, blanks anywhere between them) for what an object stores itself
// (DefineProperties, such as a bitmap's "Data").
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/runtime/Components.h"
#include "platform/runtime/TypInfo.h"

namespace plat {

// Makes a layout known under NAME (normally done for the embedded forms/ files at start-up).
void RegisterLayout(const std::string& name, std::string text, std::string fileName);
// Registers the layouts embedded in the program from forms/ (idempotent).
void RegisterEmbeddedLayouts();
bool LayoutExists(std::string_view name);

// What a form class offers its layout: handlers by name and the members to fill with controls.
class TFormBindings {
 public:
  template <class C, class... A>
  TFormBindings& Handler(const std::string& name, C* form, void (C::*method)(A...)) {
    handlers_[name] = std::any(
        std::function<void(A...)>([form, method](A... args) { (form->*method)(args...); }));
    return *this;
  }
  template <class T>
  TFormBindings& Field(const std::string& name, T*& member) {
    fields_[name] = [&member, name](TComponent* c) {
      member = dynamic_cast<T*>(c);
      if (!member) throw EReadError("Component " + name + " has the wrong class for its field");
    };
    return *this;
  }
  const std::any* FindHandler(std::string_view name) const;
  void FillField(const std::string& name, TComponent* component) const;

 private:
  std::map<std::string, std::any, std::less<>> handlers_;
  std::map<std::string, std::function<void(TComponent*)>, std::less<>> fields_;
};

// Reads layout NAME into root: sets root's own properties, creates the nested components (owned
// by root, parented to the enclosing object), binds handlers and fields, then calls Loaded on
// root and on every component created. Errors raise EReadError "FILE(LINE): message".
void ReadLayout(TComponent& root, std::string_view layoutName, const TFormBindings& bindings);
// The same over a text (tests, tools).
void ReadLayoutText(TComponent& root, std::string_view text, std::string_view fileName,
                    const TFormBindings& bindings);

}  // namespace plat

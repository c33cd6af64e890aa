#include "platform/windows/FormReader.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "platform/windows/EmbeddedLayouts.h"

namespace plat {
namespace {

struct Layout {
  std::string text;
  std::string fileName;
};

std::map<std::string, Layout, std::less<>>& Layouts() {
  static std::map<std::string, Layout, std::less<>> layouts;
  return layouts;
}

enum class Tok { End, Ident, Number, String, Symbol };

struct Token {
  Tok kind = Tok::End;
  std::string text;
  int line = 0;
};

// Splits a layout into tokens; identifiers may contain dots (Font.Style).
class Lexer {
 public:
  Lexer(std::string_view text, std::string_view fileName) : s_(text), file_(fileName) {}

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    if (pos_ >= s_.size()) return t;
    char c = s_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t b = pos_;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) ||
                                  s_[pos_] == '_' || s_[pos_] == '.'))
        ++pos_;
      return {Tok::Ident, std::string(s_.substr(b, pos_ - b)), t.line};
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '$' || c == '+') {
      size_t b = pos_++;
      while (pos_ < s_.size() &&
             (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.'))
        ++pos_;
      return {Tok::Number, std::string(s_.substr(b, pos_ - b)), t.line};
    }
    if (c == '"') return {Tok::String, ReadString(), t.line};
    ++pos_;
    return {Tok::Symbol, std::string(1, c), t.line};
  }

  // The bytes of a binary value "{0A1B ...}" after its opening brace: pairs of hexadecimal digits,
  // blanks and line breaks anywhere between pairs.
  std::string ReadHexBlock() {
    std::string bytes;
    while (true) {
      SkipBlanks();
      if (pos_ >= s_.size()) Fail(line_, "Missing '}' after binary data");
      if (s_[pos_] == '}') {
        ++pos_;
        return bytes;
      }
      int high = pos_ + 1 < s_.size() ? HexDigit(s_[pos_]) : -1;
      int low = high < 0 ? -1 : HexDigit(s_[pos_ + 1]);
      if (low < 0) Fail(line_, "Invalid binary data");
      bytes += static_cast<char>(high * 16 + low);
      pos_ += 2;
    }
  }

  [[noreturn]] void Fail(int line, const std::string& message) const {
    throw EReadError(std::string(file_) + "(" + std::to_string(line) + "): " + message);
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == '#') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else if (static_cast<unsigned char>(c) <= ' ') {
        ++pos_;
      } else {
        break;
      }
    }
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
  }

  std::string ReadString() {
    std::string r;
    ++pos_;
    while (true) {
      if (pos_ >= s_.size() || s_[pos_] == '\n') Fail(line_, "Unterminated string");
      char c = s_[pos_++];
      if (c == '"') return r;
      if (c == '\\') {
        if (pos_ >= s_.size()) Fail(line_, "Unterminated string");
        char e = s_[pos_++];
        switch (e) {
          case 'n':
            r += '\n';
            break;
          case 't':
            r += '\t';
            break;
          case '"':
            r += '"';
            break;
          case '\\':
            r += '\\';
            break;
          default:
            Fail(line_, std::string("Unknown escape \\") + e);
        }
      } else {
        r += c;
      }
    }
  }

  std::string_view s_;
  std::string_view file_;
  size_t pos_ = 0;
  int line_ = 1;
};

// A parsed property value before it meets its property.
struct RawValue {
  enum Kind { Number, String, Ident, List, Binary } kind = Number;
  std::string text;          // also the bytes of a binary value
  std::vector<Token> items;  // list elements (identifiers or strings)
  int line = 0;
};

class Reader {
 public:
  Reader(TComponent& root, std::string_view text, std::string_view fileName,
         const TFormBindings& bindings)
      : root_(root), lex_(text, fileName), bindings_(bindings) {}

  void Read() {
    Advance();
    Token cls = Expect(Tok::Ident, "a class name");
    Token name = Expect(Tok::Ident, "an object name");
    (void)cls;
    root_.BeginLoading();
    if (root_.Name().empty()) root_.SetName(name.text);
    loaded_.push_back(&root_);
    ReadBody(root_);
    if (cur_.kind != Tok::End) lex_.Fail(cur_.line, "Text after the end of the layout");
    resolving_ = true;
    for (auto& f : fixups_) Store(*f.target, *f.prop, f.value);
    for (TComponent* c : loaded_) c->Loaded();
  }

 private:
  void Advance() { cur_ = lex_.Next(); }

  Token Expect(Tok kind, const char* what) {
    if (cur_.kind != kind) lex_.Fail(cur_.line, std::string("Expected ") + what);
    Token t = cur_;
    Advance();
    return t;
  }

  void ExpectSymbol(char c) {
    if (cur_.kind != Tok::Symbol || cur_.text[0] != c)
      lex_.Fail(cur_.line, std::string("Expected '") + c + "'");
    Advance();
  }

  bool AtSymbol(char c) const { return cur_.kind == Tok::Symbol && cur_.text[0] == c; }

  void ReadBody(TComponent& object) {
    ExpectSymbol('{');
    while (!AtSymbol('}')) {
      if (cur_.kind == Tok::End) lex_.Fail(cur_.line, "Missing '}'");
      Token first = Expect(Tok::Ident, "a property or a class name");
      if (cur_.kind == Tok::Ident) {
        ReadChild(object, first);
      } else {
        ExpectSymbol('=');
        RawValue value = ReadValue();
        Assign(object, first, value);
      }
    }
    Advance();
  }

  void ReadChild(TComponent& parent, const Token& cls) {
    Token name = Expect(Tok::Ident, "an object name");
    const TComponentFactory* factory = FindComponentClass(cls.text);
    if (!factory) lex_.Fail(cls.line, "Unknown class " + cls.text);
    std::unique_ptr<TComponent> made = (*factory)(&root_);
    TComponent* child = made.get();
    root_.Own(std::move(made));
    child->BeginLoading();
    try {
      child->SetName(name.text);
    } catch (const Exception& e) {
      lex_.Fail(name.line, e.Message());
    }
    try {
      child->SetParentComponent(&parent);
      bindings_.FillField(name.text, child);
    } catch (const Exception& e) {
      lex_.Fail(name.line, e.Message());
    }
    loaded_.push_back(child);
    ReadBody(*child);
  }

  RawValue ReadValue() {
    RawValue v;
    v.line = cur_.line;
    if (cur_.kind == Tok::String) {
      v.kind = RawValue::String;
      while (cur_.kind == Tok::String) {
        v.text += cur_.text;
        Advance();
      }
      return v;
    }
    if (AtSymbol('[')) {
      v.kind = RawValue::List;
      Advance();
      while (!AtSymbol(']')) {
        if (cur_.kind != Tok::Ident && cur_.kind != Tok::String)
          lex_.Fail(cur_.line, "Expected a list element");
        v.items.push_back(cur_);
        Advance();
        if (AtSymbol(','))
          Advance();
        else if (!AtSymbol(']'))
          lex_.Fail(cur_.line, "Expected ',' or ']'");
      }
      Advance();
      return v;
    }
    if (AtSymbol('{')) {
      // The lexer stands right after the brace.
      v.kind = RawValue::Binary;
      v.text = lex_.ReadHexBlock();
      Advance();
      return v;
    }
    if (cur_.kind == Tok::Number || cur_.kind == Tok::Ident) {
      v.kind = cur_.kind == Tok::Number ? RawValue::Number : RawValue::Ident;
      v.text = cur_.text;
      Advance();
      return v;
    }
    lex_.Fail(cur_.line, "Expected a value");
  }

  // Walks "A.B.C" down object properties to the object that holds C.
  void Assign(TComponent& object, const Token& path, const RawValue& value) {
    TObject* target = &object;
    std::string_view rest = path.text;
    while (true) {
      size_t dot = rest.find('.');
      std::string name(rest.substr(0, dot));
      const TPropInfo* prop = FindPropInfo(*target, name);
      if (!prop && dot == std::string_view::npos && ReadDefined(*target, name, value)) return;
      if (!prop) lex_.Fail(path.line, "Unknown property " + name + " of " + target->ClassName());
      if (dot == std::string_view::npos) {
        Store(*target, *prop, value);
        return;
      }
      TValue inner = prop->Get(*target);
      auto next = std::get_if<TObject*>(&inner);
      if (prop->Kind != tkClass || !next || !*next)
        lex_.Fail(path.line, "Property " + name + " of " + target->ClassName() + " has no parts");
      target = *next;
      rest = rest.substr(dot + 1);
    }
  }

  // Hands a binary value to the object's own reader of NAME; false when it defines no such value.
  bool ReadDefined(TObject& target, const std::string& name, const RawValue& value) {
    auto persistent = dynamic_cast<TPersistent*>(&target);
    if (!persistent) return false;
    struct Finder : TFiler {
      explicit Finder(const std::string& wanted) : wanted(wanted) {}
      void DefineBinaryProperty(const std::string& defined, const TStreamProc& readData,
                                const TStreamProc&, bool) override {
        if (!found && SameText(defined, wanted)) found = readData;
      }
      const std::string& wanted;
      TStreamProc found;
    } finder(name);
    persistent->DefineProperties(finder);
    if (!finder.found) return false;
    if (value.kind != RawValue::Binary) lex_.Fail(value.line, "Invalid value for " + name);
    TReadOnlyMemoryStream stream(value.text.data(), static_cast<int64_t>(value.text.size()));
    try {
      finder.found(stream);
    } catch (const Exception& e) {
      lex_.Fail(value.line, name + ": " + e.Message());
    }
    if (stream.Position() != stream.Size())
      lex_.Fail(value.line, name + ": more binary data than the value takes");
    return true;
  }

  struct Deferred {};

  // A list of strings fills the string list the property holds.
  bool FillList(TObject& target, const TPropInfo& prop, const RawValue& value) {
    if (prop.Kind != tkClass || value.kind != RawValue::List) return false;
    TValue current = prop.Get(target);
    auto object = std::get_if<TObject*>(&current);
    auto strings = object ? dynamic_cast<TStringList*>(*object) : nullptr;
    if (!strings) lex_.Fail(value.line, "Property " + prop.Name + " takes no list");
    strings->Clear();
    for (const Token& item : value.items) {
      if (item.kind != Tok::String) lex_.Fail(item.line, "Expected a string");
      strings->Add(item.text);
    }
    return true;
  }

  void Store(TObject& target, const TPropInfo& prop, const RawValue& value) {
    try {
      if (FillList(target, prop, value)) return;
      TValue converted = Convert(prop, value);
      if (!prop.Set) lex_.Fail(value.line, "Property " + prop.Name + " is read-only");
      prop.Set(target, converted);
    } catch (const Deferred&) {
      if (resolving_) lex_.Fail(value.line, "Unknown component " + value.text);
      fixups_.push_back({&target, &prop, value});
    } catch (const EReadError&) {
      throw;
    } catch (const Exception& e) {
      lex_.Fail(value.line, prop.Name + ": " + e.Message());
    }
  }

  TValue Convert(const TPropInfo& prop, const RawValue& value) {
    auto wrong = [&]() -> TValue { lex_.Fail(value.line, "Invalid value for " + prop.Name); };
    switch (prop.Kind) {
      case tkInteger: {
        if (value.kind == RawValue::Number) {
          int64_t n = 0;
          if (!ParseInt(value.text, n)) wrong();
          return n;
        }
        int64_t n = 0;
        if (value.kind == RawValue::Ident && prop.IdentToInt && prop.IdentToInt(value.text, n))
          return n;
        return wrong();
      }
      case tkEnumeration: {
        if (value.kind != RawValue::Ident || !prop.Enum) return wrong();
        int ordinal = prop.Enum->ValueOf(value.text);
        if (ordinal < 0)
          lex_.Fail(value.line, "Unknown " + prop.Enum->Name + " value " + value.text);
        return int64_t{ordinal};
      }
      case tkSet: {
        if (value.kind != RawValue::List || !prop.Enum) return wrong();
        int64_t mask = 0;
        for (const Token& item : value.items) {
          int ordinal = item.kind == Tok::Ident ? prop.Enum->ValueOf(item.text) : -1;
          if (ordinal < 0)
            lex_.Fail(item.line, "Unknown " + prop.Enum->Name + " element " + item.text);
          mask |= int64_t{1} << ordinal;
        }
        return mask;
      }
      case tkFloat: {
        if (value.kind != RawValue::Number) return wrong();
        // Independent of the locale: a layout always writes 1.5.
        double d = 0;
        const char* end = value.text.data() + value.text.size();
        auto [stop, error] = std::from_chars(value.text.data(), end, d);
        if (error != std::errc() || stop != end) return wrong();
        return d;
      }
      case tkString:
        if (value.kind != RawValue::String) return wrong();
        return value.text;
      case tkMethod: {
        if (value.kind != RawValue::Ident) return wrong();
        const std::any* handler = bindings_.FindHandler(value.text);
        if (!handler) lex_.Fail(value.line, "Unknown handler " + value.text);
        return *handler;
      }
      case tkClass: {
        if (value.kind == RawValue::Ident && value.text == "nil") return TValue(nullptr);
        if (value.kind == RawValue::Ident) {
          // Components named later in the layout are set once everything exists.
          TComponent* named = root_.FindComponent(value.text);
          if (!named) throw Deferred{};
          return TValue(static_cast<TObject*>(named));
        }
        return wrong();
      }
      default:
        return wrong();
    }
  }

  static bool ParseInt(const std::string& text, int64_t& out) {
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) negative = s[0] == '-', s.remove_prefix(1);
    int base = 10;
    if (!s.empty() && s[0] == '$') base = 16, s.remove_prefix(1);
    if (s.empty() || s.size() > 16) return false;
    uint64_t n = 0;
    for (char c : s) {
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
              : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                  ? (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
                  : -1;
      if (d < 0 || d >= base) return false;
      n = n * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (n > 0xFFFFFFFFull) return false;
    }
    out = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    return true;
  }

  TComponent& root_;
  Lexer lex_;
  const TFormBindings& bindings_;
  Token cur_;
  std::vector<TComponent*> loaded_;
  struct Fixup {
    TObject* target;
    const TPropInfo* prop;
    RawValue value;
  };
  std::vector<Fixup> fixups_;
  bool resolving_ = false;
};

}  // namespace

void RegisterLayout(const std::string& name, std::string text, std::string fileName) {
  Layouts()[name] = Layout{std::move(text), std::move(fileName)};
}

void RegisterEmbeddedLayouts() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const TEmbeddedLayout* l = kEmbeddedLayouts; l->name; ++l)
    if (!LayoutExists(l->name)) RegisterLayout(l->name, l->text, l->fileName);
}

bool LayoutExists(std::string_view name) {
  return Layouts().count(name) != 0;
}

const std::any* TFormBindings::FindHandler(std::string_view name) const {
  auto found = handlers_.find(name);
  return found == handlers_.end() ? nullptr : &found->second;
}

void TFormBindings::FillField(const std::string& name, TComponent* component) const {
  auto found = fields_.find(name);
  if (found != fields_.end()) found->second(component);
}

void ReadLayoutText(TComponent& root, std::string_view text, std::string_view fileName,
                    const TFormBindings& bindings) {
  Reader(root, text, fileName, bindings).Read();
}

void ReadLayout(TComponent& root, std::string_view layoutName, const TFormBindings& bindings) {
  RegisterEmbeddedLayouts();
  auto found = Layouts().find(layoutName);
  if (found == Layouts().end())
    throw EReadError("No stored layout named " + std::string(layoutName));
  ReadLayoutText(root, found->second.text, found->second.fileName, bindings);
}

}  // namespace plat

#include "html/css/CssParser.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "html/css/CssShorthands.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"

namespace html {

namespace {

// @media blocks nested deeper than this are skipped.
constexpr int kMostMediaNesting = 16;

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsNameChar(char c) {
  return c == '-' || IsDigit(c) || IsLetter(c);
}
bool IsSelectorChar(char c) {
  return c == ' ' || c == '#' || c == '*' || c == '-' || c == '.' || IsDigit(c) || c == ':' ||
         c == '>' || IsLetter(c) || c == '_';
}
bool IsOneOf(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}

// A declaration's value without blanks around it, an "!important" after it, or its quotes.
std::string DeclarationValue(std::string_view raw) {
  std::string value = Trim(raw);
  if (const size_t bang = value.rfind('!');
      bang != std::string::npos &&
      SameText(Trim(std::string_view(value).substr(bang + 1)), "important"))
    value = Trim(std::string_view(value).substr(0, bang));
  return RemoveQuotes(value);
}

// Stores one declaration: shorthands expanded, url() of linked sheets resolved.
void StoreDeclaration(const std::string& name, const std::string& value,
                      const std::string& linkPath, const TCssEmit& emit) {
  if (name.empty() || ExpandShorthand(name, value, linkPath, emit)) return;
  if (!linkPath.empty() && Contains(value, "url("))
    emit(name, ResolveCssUrl(value, linkPath));
  else
    emit(name, value);
}

class SheetParser {
 public:
  SheetParser(TStyleList& styles, const TCssReadChar& readChar, const TCssReadChar& peekChar,
              bool untilEnd, const std::string& linkPath)
      : styles_(styles),
        readChar_(readChar),
        peekChar_(peekChar),
        untilEnd_(untilEnd),
        linkPath_(linkPath) {}

  char Run(char first) {
    pushedBack_ = first;
    lch_ = ' ';
    // An opening HTML comment marker.
    while (IsOneOf(lch_, " !->") || (lch_ == '<' && OpensMarkup())) GetCh();
    ParseRules(0, false);
    return lch_ >= 'a' && lch_ <= 'z' ? char(lch_ - 'a' + 'A') : lch_;
  }

 private:
  char ReadRaw() {
    char c;
    if (pushedBack_) {
      c = *pushedBack_;
      pushedBack_.reset();
    } else {
      c = readChar_();
    }
    // Line ends and tabs separate like blanks.
    return c == '\r' || c == '\n' || c == '\t' || c == '\f' ? ' ' : c;
  }

  // The next character after any comments; an open comment ends at "<" or the end.
  void GetCh() {
    for (;;) {
      lch_ = ReadRaw();
      if (lch_ != '/') return;
      const char next = ReadRaw();
      if (next != '*') {
        pushedBack_ = next;
        return;
      }
      char previous = 0;
      for (;;) {
        const char c = ReadRaw();
        if (c == 0 || c == '<') {
          lch_ = c;
          return;
        }
        if (previous == '*' && c == '/') break;
        previous = c;
      }
    }
  }

  // At a "<": true for "<!" (a comment marker), false for a tag, which ends a STYLE sheet.
  // Only peeked, so that a STYLE's end tag is left whole to the HTML reader.
  bool OpensMarkup() const { return untilEnd_ || peekChar_() == '!'; }

  void SkipWhiteSpace() {
    while (lch_ == ' ') GetCh();
  }

  bool AtEnd(bool inBlock) const {
    return lch_ == 0 || (lch_ == '<' && (!untilEnd_ || inBlock)) || (inBlock && lch_ == '}');
  }

  void ParseRules(int depth, bool inBlock) {
    SkipWhiteSpace();
    while (!AtEnd(inBlock)) {
      if (lch_ == '@') {
        AtRule(depth);
      } else if (lch_ == '<') {
        while (lch_ != ' ' && lch_ != 0) GetCh();
        SkipWhiteSpace();
      } else {
        GetSelectors();
        DoDeclarations();
      }
      while (lch_ == ' ' || (!inBlock && (lch_ == '-' || lch_ == '>'))) GetCh();
    }
  }

  void AtRule(int depth) {
    std::string text;
    GetCh();
    while (lch_ != 0 && lch_ != ';' && lch_ != '<' && lch_ != '{') {
      text += lch_;
      GetCh();
    }
    if (lch_ == ';') {
      GetCh();
    } else if (lch_ == '{') {
      GetCh();
      if (Contains(LowerCase(text), "screen") && depth < kMostMediaNesting)
        ParseRules(depth + 1, true);
      else
        SkipBlock();
      if (lch_ == '}') GetCh();
    }
  }

  // Up to the "}" that closes the block, nested blocks included.
  void SkipBlock() {
    int level = 1;
    while (lch_ != 0 && lch_ != '<') {
      if (lch_ == '{') ++level;
      if (lch_ == '}' && --level == 0) return;
      GetCh();
    }
  }

  void GetSelectors() {
    selectors_.clear();
    styles_.StartSelectorList();
    do {
      if (lch_ == ',') GetCh();
      SkipWhiteSpace();
      std::string text;
      int specials = 0;
      bool ordered = false;
      while (IsSelectorChar(lch_)) {
        char c = lch_;
        if (c == '*') {
          c = ' ';
        } else if (c == ' ') {
          specials = 0;
        } else if (c == '.' || c == ':' || c == '#') {
          if (++specials >= 2) ordered = true;
        }
        text += c;
        GetCh();
      }
      const std::string key = ProcessSelector(LowerCase(Trim(text)), ordered, styles_);
      if (!key.empty()) selectors_.push_back(key);
    } while (lch_ == ',');
    while (lch_ != 0 && lch_ != '<' && lch_ != '{') GetCh();
  }

  void DoDeclarations() {
    if (lch_ != '{') return;
    GetCh();
    const TCssEmit emit = [this](std::string_view name, const std::string& value) {
      for (const std::string& selector : selectors_)
        styles_.AddOrModifyProperty(selector, name, value);
    };
    do {
      SkipWhiteSpace();
      std::string name;
      while (IsNameChar(lch_)) {
        name += lch_;
        GetCh();
      }
      name = LowerCase(Trim(name));
      SkipWhiteSpace();
      if (lch_ == ':' || lch_ == '=') {
        GetCh();
        std::string value;
        while (lch_ != 0 && lch_ != ';' && lch_ != '<' && lch_ != '}') {
          value += lch_;
          GetCh();
        }
        StoreDeclaration(name, DeclarationValue(LowerCaseKeepingUrls(value)), linkPath_, emit);
      }
      SkipWhiteSpace();
      if (lch_ == ';') GetCh();
      while (lch_ != 0 && lch_ != '<' && lch_ != '}' && !IsNameChar(lch_)) GetCh();
    } while (lch_ != 0 && lch_ != '<' && lch_ != '}');
    if (lch_ == '}') GetCh();
  }

  TStyleList& styles_;
  const TCssReadChar& readChar_;
  const TCssReadChar& peekChar_;
  bool untilEnd_;
  std::string linkPath_;
  char lch_ = ' ';
  std::optional<char> pushedBack_;
  std::vector<std::string> selectors_;
};

// Token kinds in key order: tag and others, classes, ID, pseudo class.
int TokenKind(const std::string& token) {
  switch (token[0]) {
    case '.':
      return 1;
    case '#':
      return 2;
    case ':':
      return 3;
    default:
      return 0;
  }
}

}  // namespace

std::string OrderSimpleSelector(std::string_view part) {
  std::vector<std::string> tokens;
  for (size_t i = 0; i < part.size();) {
    size_t end = i + 1;
    while (end < part.size() && (part[end] == '-' || part[end] == '_' || IsDigit(part[end]) ||
                                 (part[end] >= 'a' && part[end] <= 'z')))
      ++end;
    tokens.emplace_back(part.substr(i, end - i));
    i = end;
  }
  std::stable_sort(tokens.begin(), tokens.end(), [](const std::string& a, const std::string& b) {
    const int ka = TokenKind(a), kb = TokenKind(b);
    return ka != kb ? ka < kb : CompareText(a, b) < 0;
  });
  std::string out;
  for (const std::string& token : tokens) out += token;
  return out;
}

std::string ProcessSelector(std::string_view selector, bool ordered, TStyleList& styles) {
  std::string_view rest = selector;
  if (!rest.empty() && rest.front() == '>') rest.remove_prefix(1);
  if (!rest.empty() && rest.back() == '>') rest.remove_suffix(1);
  // "div > p" becomes the parts "div>" and "p": blanks before a ">" go, one follows it.
  std::string text;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '>') {
      text += rest[i];
      continue;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    text += '>';
    if (i + 1 < rest.size() && rest[i + 1] != ' ') text += ' ';
  }
  std::vector<std::string> parts;
  for (size_t pos = 0; pos < text.size();) {
    const size_t blank = std::min(text.find(' ', pos), text.size());
    if (blank > pos) {
      const std::string part = text.substr(pos, blank - pos);
      parts.push_back(ordered ? OrderSimpleSelector(part) : part);
    }
    pos = blank + 1;
  }
  if (parts.empty()) return {};
  if (parts.size() == 1) return parts[0];
  // Subject, blank, ancestor count and sequence number, then the ancestors nearest first.
  std::string ancestors;
  for (size_t i = parts.size() - 1; i-- > 0;) ancestors += parts[i] + " ";
  return styles.DescendantKey(parts.back() + " " + std::to_string(parts.size() - 1), ancestors);
}

void ParseStyleSheet(TStyleList& styles, char& ch, const TCssReadChar& readChar,
                     const TCssReadChar& peekChar, bool untilEnd, const std::string& linkPath) {
  SheetParser parser(styles, readChar, peekChar, untilEnd, linkPath);
  ch = parser.Run(ch == '\r' ? ' ' : ch);
}

void ParseInlineStyle(std::string_view source, TProperties& props) {
  const std::string text = LowerCaseKeepingUrls(source);
  size_t next = 0;
  char lch = ' ';
  auto getCh = [&] {
    lch = next < text.size() ? text[next++] : '\0';
    if (lch == '\r' || lch == '\n' || lch == '\t') lch = ' ';
  };
  auto skipBlanks = [&] {
    while (lch == ' ') getCh();
  };
  const TCssEmit emit = [&props](std::string_view name, const std::string& value) {
    props.AddPropertyByName(name, value);
  };
  getCh();
  while (lch != 0) {
    skipBlanks();
    std::string name;
    while (IsNameChar(lch)) {
      name += lch;
      getCh();
    }
    skipBlanks();
    if (lch == ':' || lch == '=') {
      getCh();
      std::string value;
      while (lch != 0 && lch != ';') {
        value += lch;
        getCh();
      }
      StoreDeclaration(name, DeclarationValue(value), {}, emit);
    }
    skipBlanks();
    if (lch == ';') getCh();
    while (lch != 0 && !IsNameChar(lch)) getCh();
  }
}

}  // namespace html

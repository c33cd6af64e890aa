#include <algorithm>
#include <vector>

#include "html/parse/HtmlReader.h"
#include "platform/htmlservices/HtmlText.h"

namespace html {

namespace {

constexpr size_t kMaxTagName = 255;
constexpr size_t kMaxEntityName = 11;
constexpr size_t kProgressStep = 4096;
// Numeric references stop growing here: anything above is no character anyway.
constexpr uint32_t kNumericLimit = 0x110000;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLetter(char c) {
  return IsUpperLetter(c) || (c >= 'a' && c <= 'z');
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
  return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}
bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\r' || c == '\t' || c == '\n';
}
char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// A code point as UTF-16; what is no character becomes U+FFFD.
std::u16string Utf16Of(uint32_t value) {
  if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return u"\uFFFD";
  if (value > 0xFFFF) {
    value -= 0x10000;
    return {char16_t(0xD800 + (value >> 10)), char16_t(0xDC00 + (value & 0x3FF))};
  }
  return {char16_t(value)};
}

}  // namespace

void THtmlTokenizer::Start(std::string document, int32_t sourcePos, bool japaneseConverted) {
  document_ = std::move(document);
  japaneseConverted_ = japaneseConverted;
  Rewind(sourcePos);
}

void THtmlTokenizer::Rewind(int32_t sourcePos) {
  readPos_ = 0;
  included_.reset();
  includedPos_ = 0;
  lineEnd_ = 0;
  SourcePos = sourcePos;
  LCh = LCToken = 0;
  InComment = false;
  Sy = EofSy;
  HeaderLevel = 0;
  TagStart = 0;
  Token.Clear();
  Attributes.Clear();
}

bool THtmlTokenizer::PreScanManyLinks() {
  constexpr int kManyLinks = 400;
  struct TRestore {
    THtmlTokenizer& tokenizer;
    int32_t sourcePos;
    TIncludeType include;
    ~TRestore() {
      tokenizer.PreScan = false;
      tokenizer.IncludeHandler = std::move(include);
      tokenizer.Rewind(sourcePos);
    }
  } restore{*this, SourcePos, std::move(IncludeHandler)};
  IncludeHandler = nullptr;
  PreScan = true;
  int links = 0;
  GetCh();
  for (GetSymbol(); Sy != EofSy; GetSymbol()) {
    TAttribute* href;
    if (Sy == ASy && links <= kManyLinks && Attributes.Find(HrefSy, href)) ++links;
  }
  return links > kManyLinks;
}

// --- Characters

char THtmlTokenizer::ReadSourceChar() {
  if (included_) {
    if (includedPos_ < included_->size()) return (*included_)[includedPos_++];
    included_.reset();
    includedPos_ = 0;
  }
  if (readPos_ >= document_.size()) return 0;
  const char c = document_[readPos_++];
  ++SourcePos;
  ReportProgress();
  return c;
}

char THtmlTokenizer::PeekChar() const {
  if (included_ && includedPos_ < included_->size()) return (*included_)[includedPos_];
  return readPos_ < document_.size() ? document_[readPos_] : 0;
}

void THtmlTokenizer::ReportProgress() {
  if (readPos_ % kProgressStep != 0 || PreScan || !OnProgress || document_.empty()) return;
  OnProgress(int(int64_t(readPos_) * ProgressStart / int64_t(document_.size())));
}

void THtmlTokenizer::ReadNormalizedChar() {
  LCh = ReadSourceChar();
  // The second half of a CR LF or LF CR pair.
  if ((LCh == '\n' && lineEnd_ == 1) || (LCh == '\r' && lineEnd_ == 2)) LCh = ReadSourceChar();
  if (LCh == '\n') {
    lineEnd_ = 2;
    LCh = '\r';
  } else if (LCh == '\r') {
    lineEnd_ = 1;
  } else {
    lineEnd_ = 0;
    if (LCh == '\t') LCh = ' ';
  }
  LCToken = UpperAscii(LCh);
  if (LCh == 0 && InComment) throw EParseError("Open Comment at End of HTML File");
}

void THtmlTokenizer::GetCh() {
  for (;;) {
    ReadNormalizedChar();
    if (LCToken != '<' || RawText) return;
    const char next = PeekChar();
    if (next == '!') {
      ReadNormalizedChar();
      InComment = true;
      ReadNormalizedChar();
      if (LCh == '-') {
        ReadNormalizedChar();
        if (LCh == '-') {
          ReadNormalizedChar();
          if (IncludeHandler && LCToken == '#' && !readingDirective_)
            DoInclude();
          else
            SkipDashedComment();
          continue;
        }
      }
      // A declaration such as a document type ends at its first '>'.
      while (LCh != '>') ReadCommentChar();
      InComment = false;
    } else if (next == '%') {
      ReadNormalizedChar();
      do ReadNormalizedChar();
      while (!(LCToken == '%' && PeekChar() == '>') && LCh != 0);
      ReadNormalizedChar();
    } else {
      return;
    }
  }
}

void THtmlTokenizer::ReadCommentChar() {
  ReadNormalizedChar();
  // Entities of a directive's parameters may have read a comment of their own meanwhile.
  if (LCh == 0) throw EParseError("Open Comment at End of HTML File");
}

void THtmlTokenizer::SkipDashedComment() {
  if (LCh == 0) throw EParseError("Open Comment at End of HTML File");
  for (;;) {
    if (LCh != '-') {
      ReadCommentChar();
      continue;
    }
    ReadCommentChar();
    if (LCh != '-') continue;
    while (LCh == '-') ReadCommentChar();
    while (LCh == ' ' || LCh == '\r') ReadCommentChar();
    if (LCh == '!') ReadCommentChar();
    if (LCh == '>') break;
  }
  InComment = false;
}

void THtmlTokenizer::DoInclude() {
  // The directive is read with a token of its own; the text around it keeps the current one.
  TokenObj saved = std::move(Token);
  Token = TokenObj();
  struct TRestore {
    TokenObj& token;
    TokenObj& saved;
    ~TRestore() { token = std::move(saved); }
  } restore{Token, saved};
  // A directive inside a parameter's entity is an ordinary comment: no nesting without end.
  struct TDirectiveFlag {
    bool& flag;
    ~TDirectiveFlag() { flag = false; }
  } directive{readingDirective_};
  readingDirective_ = true;

  ReadNormalizedChar();
  std::string command;
  while (IsLetter(LCh) || IsDigit(LCh) || LCh == '_') {
    command += LCh;
    ReadNormalizedChar();
  }
  auto params = std::make_unique<plat::TStringList>();
  for (;;) {
    SkipWhiteSpace();
    if (!IsLetter(LCh)) break;
    std::string name;
    while (IsLetter(LCh) || IsDigit(LCh) || LCh == '_') {
      name += LCh;
      ReadNormalizedChar();
    }
    SkipWhiteSpace();
    std::string value;
    if (LCh == '=') {
      ReadNormalizedChar();
      SkipWhiteSpace();
      if (LCh == '"' || LCh == '\'') {
        value = ReadQuoted(" ", CodePage());
      } else {
        while (LCh != 0 && LCh != ' ' && LCh != '\r' && LCh != '-' && LCh != '>') {
          value += LCh;
          ReadNormalizedChar();
        }
      }
    }
    params->Add(name + "=" + value);
  }
  SkipDashedComment();

  const std::string remainder = included_ ? included_->substr(includedPos_) : "";
  std::string text;
  IncludeHandler(Sender, command, std::move(params), text);
  if (text.empty()) return;
  included_ = std::make_shared<const std::string>(text + remainder);
  includedPos_ = 0;
}

std::string THtmlTokenizer::ReadQuoted(std::string_view lineEnd, int codePage) {
  const char quote = LCh;
  std::string value;
  ReadNormalizedChar();
  while (LCh != quote && LCh != 0) {
    if (LCh == '&') {
      value += GetEntityInValue(codePage);
    } else {
      if (LCh == '\r')
        value += lineEnd;
      else
        value += LCh;
      ReadNormalizedChar();
    }
  }
  if (LCh == quote) ReadNormalizedChar();
  return value;
}

void THtmlTokenizer::SkipWhiteSpace() {
  while (LCh == ' ' || LCh == '\r' || LCh == '\t') GetCh();
}

THtmlTokenizer::TReadMark THtmlTokenizer::Mark() const {
  return {LCh, LCToken, readPos_, SourcePos, lineEnd_, included_, includedPos_};
}

void THtmlTokenizer::Restore(const TReadMark& mark) {
  LCh = mark.LCh;
  LCToken = mark.LCToken;
  readPos_ = std::min(mark.ReadPos, document_.size());
  SourcePos = mark.SourcePos;
  lineEnd_ = mark.LineEnd;
  included_ = mark.Included;
  includedPos_ = mark.Included ? std::min(mark.IncludedPos, mark.Included->size()) : 0;
}

// --- Symbols

void THtmlTokenizer::GetSymbol() {
  Token.Clear();
  if (LCh == 0) {
    Sy = EofSy;
    return;
  }
  if (GetTag() || GetText()) return;
  // A control character 1-8: read as '?' by the next call.
  LCh = LCToken = '?';
  Sy = TextSy;
}

bool THtmlTokenizer::GetTag() {
  if (LCToken != '<' || RawText) return false;
  TagStart = SourcePos;
  GetCh();
  const bool endTag = LCh == '/';
  if (endTag) {
    GetCh();
  } else if (LCh != '?' && !IsLetter(LCh)) {
    Sy = TextSy;
    if (!PreScan) Token.AddUnicodeChar(u'<', TagStart);
    return true;
  }

  Sy = CommandSy;
  std::string name;
  while (LCToken == '/' || IsDigit(LCToken) || IsUpperLetter(LCToken) || LCToken == '_') {
    if (LCToken == '/') {
      if (!name.empty()) break;  // <BR/>
    } else if (name.size() < kMaxTagName) {
      name += LCToken;
    }
    GetCh();
    if (name == "H" && LCh >= '1' && LCh <= '6') break;
  }
  Symb start;
  if (FindTagName(name, start)) {
    if (!endTag)
      Sy = start;
    else if (start < kTagsWithEnd)
      Sy = EndSymbFromSymb(start);
  }

  SkipWhiteSpace();
  HeaderLevel = 0;
  if ((Sy == HSy || Sy == HEndSy) && LCh >= '1' && LCh <= '6') {
    HeaderLevel = LCh - '0';
    GetCh();
  }

  Attributes.Clear();
  Symb sym;
  std::string attrName, value;
  int32_t numeric;
  while (GetAttribute(sym, attrName, value, numeric))
    Attributes.Add(std::make_unique<TAttribute>(sym, numeric, attrName, value, CodePage()));

  while (LCh != '>' && LCh != 0) GetCh();
  if (LCh == '>' && Sy != ScriptSy && Sy != StyleSy) GetCh();
  return true;
}

bool THtmlTokenizer::GetAttribute(Symb& sym, std::string& name, std::string& value,
                                  int32_t& numeric) {
  sym = OtherAttribute;
  SkipWhiteSpace();
  if (!IsLetter(LCh)) return false;
  name.clear();
  while (IsLetter(LCh) || IsDigit(LCh) || LCh == '-') {
    name += LCToken;
    GetCh();
  }
  FindAttributeName(name, sym);

  SkipWhiteSpace();
  value.clear();
  numeric = sym == BorderSy ? 1 : 0;  // a bare BORDER means a border of 1
  if (LCh == '=') {
    GetCh();
    SkipWhiteSpace();
    // Entities become text of the element's own code page, so the value reads back whole.
    const int codePage = CodePage();
    if (LCh == '"' || LCh == '\'') {
      value = ReadQuoted(sym == TitleSy || sym == AltSy ? "\r\n" : "", codePage);
    } else {
      const bool isNumber = LCh == '+' || LCh == '-' || IsDigit(LCh);
      if (isNumber && (LCh == '+' || LCh == '-')) {
        value += LCh;
        GetCh();
      }
      while (LCh != 0 && LCh != ' ' && LCh != '\r' && LCh != '>' && !(isNumber && LCh == '%')) {
        if (LCh == '&') {
          value += GetEntityInValue(codePage);
        } else {
          value += LCh;
          GetCh();
        }
      }
      if (isNumber) {
        SkipWhiteSpace();
        if (LCh == '%') {
          value += '%';
          GetCh();
        }
      }
    }
    // Quoted or not, the number comes from the text as read, entities decoded.
    AttributeNumber(value, numeric);
  }
  if (sym == IDSy && !value.empty() && IDs && !PreScan) IDs->AddChPosObject(value, SourcePos);
  return true;
}

bool THtmlTokenizer::GetText() {
  const auto endsText = [this] { return uint8_t(LCh) < '\t' || (LCh == '<' && !RawText); };
  if (endsText()) return false;
  Sy = TextSy;
  TCharCollection& stretch = stretch_;
  stretch.Clear();
  while (!endsText()) {
    if (LCh == '&') {
      GetTextEntity(stretch);
    } else if (IsWhiteSpace(LCh)) {
      if (!PreScan) stretch.Add(' ', SourcePos);
      while (IsWhiteSpace(LCh)) GetCh();
    } else {
      if (!PreScan) stretch.Add(LCh, SourcePos);
      GetCh();
    }
  }
  if (stretch.Count > 0) Token.AddConverted(stretch, CodePage());
  return true;
}

void THtmlTokenizer::PlaceEntityValue(uint32_t value, bool numeric, int32_t position,
                                      TCharCollection& stretch) {
  if (PreScan) return;
  if (value == '\t') {
    stretch.Add(' ', position);
  } else if (value < 32) {
    stretch.Add('?', position);
  } else if (numeric && value >= 127 && value <= 159) {
    // Read in the document's code page with the text around it.
    stretch.Add(char(value), position);
  } else {
    if (stretch.Count > 0) {
      Token.AddConverted(stretch, CodePage());
      stretch.Clear();
    }
    for (char16_t unit : Utf16Of(value)) Token.AddUnicodeChar(unit, position);
  }
}

void THtmlTokenizer::GetTextEntity(TCharCollection& stretch) {
  const int32_t start = SourcePos;
  const auto asText = [&](char c, int32_t position) {
    if (!PreScan) stretch.Add(c, position);
  };
  GetCh();
  if (LCh == '#') {
    GetCh();
    uint32_t value = 0;
    if (LCh == 'x' || LCh == 'X') {
      const char x = LCh;
      GetCh();
      if (!IsHexDigit(LCh)) {
        asText('&', start);
        asText('#', start + 1);
        asText(x, start + 2);
        return;
      }
      for (; IsHexDigit(LCh); GetCh()) value = std::min(value * 16 + HexValue(LCh), kNumericLimit);
    } else if (IsDigit(LCh)) {
      for (; IsDigit(LCh); GetCh()) value = std::min(value * 10 + (LCh - '0'), kNumericLimit);
    } else {
      asText('&', start);
      asText('#', start + 1);
      return;
    }
    if (LCh == ';') GetCh();
    PlaceEntityValue(value, true, start, stretch);
    return;
  }
  std::string name;
  std::vector<int32_t> positions;
  while ((IsLetter(LCh) || IsDigit(LCh)) && name.size() < kMaxEntityName) {
    name += LCh;
    positions.push_back(SourcePos);
    GetCh();
  }
  uint32_t value;
  if (FindEntity(name, value)) {
    if (LCh == ';') GetCh();
    PlaceEntityValue(value, false, start, stretch);
    return;
  }
  asText('&', start);
  for (size_t i = 0; i < name.size(); ++i) asText(name[i], positions[i]);
}

std::string THtmlTokenizer::GetEntityInValue(int codePage) {
  std::string raw = "&";
  GetCh();
  const auto text = [codePage](uint32_t value, bool numeric) -> std::string {
    if (value == '\t') return " ";
    if (value < 32) return "?";
    if (numeric && value >= 127 && value <= 159) return std::string(1, char(value));
    return WideToMultibyte(codePage, Utf16Of(value));
  };
  if (LCh == '#') {
    raw += LCh;
    GetCh();
    uint32_t value = 0;
    if (LCh == 'x' || LCh == 'X') {
      raw += LCh;
      GetCh();
      if (!IsHexDigit(LCh)) return raw;
      for (; IsHexDigit(LCh); GetCh()) value = std::min(value * 16 + HexValue(LCh), kNumericLimit);
    } else if (IsDigit(LCh)) {
      for (; IsDigit(LCh); GetCh()) value = std::min(value * 10 + (LCh - '0'), kNumericLimit);
    } else {
      return raw;
    }
    if (LCh == ';') GetCh();
    return text(value, true);
  }
  std::string name;
  while ((IsLetter(LCh) || IsDigit(LCh)) && name.size() < kMaxEntityName) {
    name += LCh;
    GetCh();
  }
  uint32_t value;
  // Without ';' only the Latin-1 names are taken: "&euro" may well be meant as text.
  if (!FindEntity(name, value) || (value > 255 && LCh != ';')) return raw + name;
  if (LCh == ';') GetCh();
  return text(value, false);
}

}  // namespace html

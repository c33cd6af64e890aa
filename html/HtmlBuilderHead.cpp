// Elements that describe the page or carry raw bodies: TITLE, STYLE, LINK, META, BASE, BGSOUND,
// SCRIPT, TEXTAREA, SELECT and MAP.
#include "html/CssParser.h"
#include "html/DocumentBuilderState.h"
#include "platform/Files.h"

namespace html {

namespace {

// The text of an attribute; empty when absent.
std::string Attribute(TAttributeList& attributes, Symb which) {
  TAttribute* attr = nullptr;
  return attributes.Find(which, attr) ? attr->Name : std::string();
}

// The bytes of a file, or empty when it cannot be read.
std::string ReadWholeFile(const std::string& name) {
  if (!plat::FileExists(name)) return {};
  plat::TMemoryStream stream;
  try {
    stream.LoadFromFile(name);
  } catch (const plat::Exception&) {
    return {};
  }
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

}  // namespace

void THtmlBuilder::DoTitle() {
  info_.Title.clear();
  Next();
  while (Sy() == TextSy) {
    info_.Title += tok_.Token.GetString();
    Next();
  }
  if (Sy() == TitleEndSy) Next();
}

// The sheet is read straight from the input, with no comment skipping, up to the '<' of the
// end tag.
void THtmlBuilder::DoStyle() {
  char ch = tok_.LCh;
  ParseStyleSheet(document_.StyleSheet, ch,
                  [this] {
                    tok_.ReadNormalizedChar();
                    return tok_.LCh;
                  },
                  false, {});
  Next();
}

void THtmlBuilder::DoLink() {
  TAttributeList& attributes = tok_.Attributes;
  const std::string href = Attribute(attributes, HrefSy);
  const std::string rel = Attribute(attributes, RelSy);
  const std::string rev = Attribute(attributes, RevSy);
  if (plat::LowerCase(rel) == "stylesheet" && !href.empty()) {
    const std::string name = document_.ExpandFileName ? document_.ExpandFileName(href) : href;
    const std::string sheet = ReadWholeFile(name);
    size_t next = 0;
    // Line feeds are dropped and tabs read as spaces.
    auto readChar = [&sheet, &next]() -> char {
      while (next < sheet.size() && sheet[next] == '\n') ++next;
      if (next >= sheet.size()) return 0;
      const char c = sheet[next++];
      return c == '\t' ? ' ' : c;
    };
    if (!sheet.empty()) {
      char ch = readChar();
      ParseStyleSheet(document_.StyleSheet, ch, readChar, true, name);
    }
  }
  if (linkEvent_) linkEvent_(tok_.Sender, rel, rev, href);
  Next();
}

void THtmlBuilder::DoMeta() {
  TAttributeList& attributes = tok_.Attributes;
  const std::string httpEquiv = Attribute(attributes, HttpEqSy);
  const std::string name = Attribute(attributes, NameSy);
  const std::string content = Attribute(attributes, ContentSy);
  if (!utf8_ && plat::LowerCase(httpEquiv) == "content-type") {
    uint8_t charset = 0;
    if (tok_.FindCharset(content, charset))
      stack_.Last().AssignCharSet(charset);
    else if (plat::LowerCase(content).find("utf-8") != std::string::npos)
      stack_.Last().AssignUTF8();
    info_.CodePage = stack_.Last().CodePage;
  }
  if (metaEvent_) metaEvent_(tok_.Sender, httpEquiv, name, content);
  Next();
}

void THtmlBuilder::DoBase() {
  TAttributeList& attributes = tok_.Attributes;
  TAttribute* attr = nullptr;
  if (attributes.Find(HrefSy, attr)) info_.Base = attr->Name;
  if (attributes.Find(TargetSy, attr)) info_.BaseTarget = attr->Name;
  Next();
}

void THtmlBuilder::DoSound() {
  TAttributeList& attributes = tok_.Attributes;
  TAttribute* src = nullptr;
  if (soundEvent_ && attributes.Find(SrcSy, src)) {
    TAttribute* loop = nullptr;
    soundEvent_(tok_.Sender, src->Name, attributes.Find(LoopSy, loop) ? loop->Value : 1, false);
  }
  Next();
}

// The tag's '>' is the current character; the body ends at endTag in any case. Returns with the
// character after the end tag current.
void THtmlBuilder::SkipRawBody(const std::string& endTag) {
  std::string recent;
  while (tok_.LCh != 0) {
    tok_.ReadNormalizedChar();
    recent += char(tok_.LCToken == '/' ? '/' : plat::LowerCase(std::string(1, tok_.LCh))[0]);
    if (recent.size() > endTag.size()) recent.erase(0, 1);
    if (recent == endTag) break;
  }
  while (tok_.LCh != 0 && tok_.LCh != '>') tok_.ReadNormalizedChar();
  if (tok_.LCh == '>') tok_.GetCh();
}

void THtmlBuilder::DoMap() {
  constexpr int kMaxStraySymbols = 3;
  auto map = std::make_unique<TMapItem>();
  map->MapName = plat::UpperCase(Attribute(tok_.Attributes, NameSy));
  int stray = 0;
  Next();
  while (Sy() != MapEndSy && Sy() != EofSy) {
    if (Sy() == AreaSy)
      map->AddArea(tok_.Attributes);
    else if (Sy() != TextSy && ++stray == kMaxStraySymbols)
      break;
    Next();
  }
  if (Sy() == MapEndSy) {
    document_.ImageMaps.Add(std::move(map));
    Next();
  }
}

}  // namespace html

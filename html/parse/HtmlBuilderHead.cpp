// Elements that describe the page or carry raw bodies: TITLE, STYLE, LINK, META, BASE, BGSOUND,
// SCRIPT, TEXTAREA, SELECT and MAP.
#include "html/base/UrlHelpers.h"
#include "html/css/CssParser.h"
#include "html/parse/DocumentBuilder.h"
#include "html/parse/DocumentBuilderState.h"
#include "platform/runtime/Files.h"

namespace html {

namespace {

// The text of an attribute; empty when absent.
std::string Attribute(TAttributeList& attributes, Symb which) {
  TAttribute* attr = nullptr;
  return attributes.Find(which, attr) ? attr->Name : std::string();
}

// The whole content of a stream, wherever its position stands.
std::string StreamText(plat::TMemoryStream& stream) {
  if (stream.Size() <= 0 || !stream.Memory()) return {};
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

// What url() values of a linked sheet are relative to: the folder of its URL or file.
std::string SheetFolder(const std::string& source) {
  return source.find("://") != std::string::npos ? GetUrlBase(source)
                                                 : plat::ExtractFilePath(source);
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The bytes of a sheet's file, or empty when it cannot be read or is larger than any sheet.
std::string ReadSheetFile(const std::string& name) {
  try {
    return plat::ReadFileBytes(name, kMaxSheetFileBytes);
  } catch (const plat::Exception&) {
    return {};
  }
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
  ParseStyleSheet(
      document_.StyleSheet, ch,
      [this] {
        tok_.ReadNormalizedChar();
        return tok_.LCh;
      },
      [this] { return tok_.PeekChar(); }, false, {});
  Next();
}

void THtmlBuilder::DoLink() {
  TAttributeList& attributes = tok_.Attributes;
  const std::string href = Attribute(attributes, HrefSy);
  const std::string rel = Attribute(attributes, RelSy);
  const std::string rev = Attribute(attributes, RevSy);
  if (plat::LowerCase(rel) == "stylesheet" && !href.empty()) {
    std::string source;
    const std::string sheet = LinkedSheet(href, source);
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
      ParseStyleSheet(document_.StyleSheet, ch, readChar, {}, true, SheetFolder(source));
    }
  }
  if (linkEvent_) linkEvent_(tok_.Sender, rel, rev, href);
  Next();
}

std::string THtmlBuilder::LinkedSheet(const std::string& href, std::string& source) {
  if (!document_.StreamRequest) {
    source = document_.Expanded(href);
    return ReadSheetFile(source);
  }
  plat::TMemoryStream* stream = nullptr;
  if (document_.NameExpand) {
    // The host names the sheet itself; its query is not part of the name.
    std::string url;
    document_.NameExpand(tok_.Sender, href, url);
    source = url.substr(0, url.find('?'));
    document_.StreamRequest(tok_.Sender, source, stream);
    return stream ? StreamText(*stream) : std::string();
  }
  document_.StreamRequest(tok_.Sender, href, stream);
  if (stream) {
    source = href;
    return StreamText(*stream);
  }
  source = document_.Expanded(href);
  return ReadSheetFile(source);
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

// The tag's '>' is the current character. The host's script handler gets the body as written,
// line ends as CR LF; without a handler the body is dropped.
void THtmlBuilder::DoScript() {
  if (!document_.ScriptEvent) {
    SkipRawBody("</script");
    return;
  }
  constexpr int kKeptAfterTagName = 6;
  const std::string name = Attribute(tok_.Attributes, NameSy);
  const std::string language = Attribute(tok_.Attributes, LanguageSy);
  std::string script;
  tok_.RawText = true;
  tok_.GetCh();
  while (tok_.LCh != 0) {
    if (tok_.LCh != '<') {
      script += tok_.LCh == '\r' ? std::string("\r\n") : std::string(1, tok_.LCh);
      tok_.GetCh();
      continue;
    }
    std::string piece = "<";
    tok_.GetCh();
    if (tok_.LCh != '/' && !IsAsciiLetter(tok_.LCh)) {
      script += piece;
      continue;
    }
    do {
      piece += tok_.LCh;
      tok_.GetCh();
    } while (IsAsciiLetter(tok_.LCh) || (tok_.LCh >= '0' && tok_.LCh <= '9'));
    if (plat::SameText(piece, "</script")) {
      while (tok_.LCh != 0 && tok_.LCh != '>') tok_.GetCh();
      tok_.RawText = false;
      if (tok_.LCh == '>') tok_.GetCh();
      break;
    }
    // A '<' here starts a piece of its own, so "a<b</script>" still ends the body.
    for (int i = 0; i < kKeptAfterTagName && tok_.LCh != 0 && tok_.LCh != '>' && tok_.LCh != '<';
         ++i) {
      piece += tok_.LCh == '\r' ? ' ' : tok_.LCh;
      tok_.GetCh();
    }
    if (tok_.LCh == '>') {
      piece += '>';
      tok_.GetCh();
    }
    script += piece;
  }
  tok_.RawText = false;
  document_.ScriptEvent(tok_.Sender, name, language, script);
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
  if (Sy() == MapEndSy) document_.ImageMaps.Add(std::move(map));
}

}  // namespace html

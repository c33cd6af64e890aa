#include "html/parse/DocumentBuilder.h"

#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/parse/DocumentBuilderState.h"

namespace html {

namespace {

constexpr size_t kNulsReplaced = 100;
constexpr size_t kMaxPropertyStack = 1000;

// The first NULs become spaces; the text ends before any further one.
void ReplaceNuls(std::string& doc) {
  size_t replaced = 0;
  for (size_t i = 0; i < doc.size(); ++i) {
    if (doc[i] != '\0') continue;
    if (replaced == kNulsReplaced) {
      doc.resize(i);
      return;
    }
    doc[i] = ' ';
    ++replaced;
  }
}

}  // namespace

void ParseHtmlDocument(const std::string& doc, TSectionList& sectionList,
                       const TIncludeType& includeEvent, const TSoundType& soundEvent,
                       const TMetaType& metaEvent, const TLinkType& linkEvent,
                       TDocumentInfo* info) {
  TDocumentInfo ignored;
  THtmlBuilder builder(sectionList, info ? *info : ignored);
  builder.ParseHtml(doc, includeEvent, soundEvent, metaEvent, linkEvent);
}

void ParseTextDocument(const std::string& doc, TSectionList& sectionList) {
  TDocumentInfo ignored;
  THtmlBuilder builder(sectionList, ignored);
  builder.ParseText(doc);
}

THtmlBuilder::THtmlBuilder(TSectionList& document, TDocumentInfo& info)
    : document_(document), info_(info) {}

// Whatever was open is handed to the document, also when a parse fails.
THtmlBuilder::~THtmlBuilder() {
  if (section_ && cell_) cell_->Add(std::move(section_), tok_.SourcePos);
}

void THtmlBuilder::InitParse(std::string doc) {
  cell_ = &document_;
  auto defaults = std::make_unique<TProperties>();
  if (const TProperties* sheetDefaults = document_.StyleSheet.DefaultProperties())
    defaults->CopyFrom(*sheetDefaults);
  TProperties& base = stack_.Add(std::move(defaults));
  SetFontSizeScale(VarToDouble(base.Values[piFontSize], 12));

  ReplaceNuls(doc);
  int32_t sourcePos = -1;
  bool japaneseConverted = false;
  if (doc.size() > 3 && doc.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    base.AssignUTF8();
    doc.erase(0, 3);
    sourcePos = 2;
    utf8_ = true;
  } else if (IsIso2022Jp(doc)) {
    doc = Iso2022JpToShiftJis(doc);
    base.AssignCharSet(128);
    japaneseConverted = true;
  }
  info_ = TDocumentInfo{};
  info_.CodePage = base.CodePage;
  tok_.Start(std::move(doc), sourcePos, japaneseConverted);
  tok_.TopCodePage = [this] { return stack_.Last().CodePage; };
  tok_.IDs = &document_.Targets;
  tok_.Sender = document_.Viewer;
  tok_.ProgressStart = document_.ProgressStart;
  tok_.OnProgress = document_.Progress;

  auto body = std::make_unique<TBodyBlock>(&document_, base, cell_, nullptr);
  body_ = body.get();
  document_.Add(std::move(body), 0);
  cell_ = &body_->Content;
  NewSection();
}

void THtmlBuilder::ParseHtml(std::string doc, const TIncludeType& includeEvent,
                             const TSoundType& soundEvent, const TMetaType& metaEvent,
                             const TLinkType& linkEvent) {
  TTextBuildScope scope(*this);
  InitParse(std::move(doc));
  document_.ManyLinks = tok_.PreScanManyLinks();
  tok_.IncludeHandler = includeEvent;
  soundEvent_ = soundEvent;
  metaEvent_ = metaEvent;
  linkEvent_ = linkEvent;
  tok_.GetCh();
  Next();
  DoBody({});
  CloseSection();
}

// --- The property stack

TStyleKey THtmlBuilder::CurrentStyleKey() {
  TAttributeList& attributes = tok_.Attributes;
  return {attributes.GetClass(), attributes.GetID(), attributes.GetTitle(), attributes.GetStyle()};
}

bool THtmlBuilder::Push(const std::string& tag, const TStyleKey& key, const std::string& pseudo) {
  if (size_t(stack_.Count()) >= kMaxPropertyStack) return false;
  const int parent = stack_.Count() - 1;
  // The cascade looks at the top entry as the element's own set: push before filling.
  TProperties& props = stack_.Add(std::make_unique<TProperties>());
  props.Inherit(tag, stack_.Items(parent));
  props.CombineCascade(document_.StyleSheet, &stack_, tag, key.Classes, key.Id, pseudo, key.Title,
                       key.Style);
  return true;
}

bool THtmlBuilder::PushCurrent(const std::string& tag, const std::string& pseudo) {
  return Push(tag, CurrentStyleKey(), pseudo);
}

void THtmlBuilder::PushProperties(const std::string& tag) {
  Push(tag, {});
}

void THtmlBuilder::PopPropertiesTo(const std::string& tag) {
  int found = stack_.Count() - 1;
  while (found >= 1 && stack_.Items(found).Tag != tag) --found;
  if (found < 1) return;
  if (stack_.Items(found).HasBorderStyle())
    document_.OpenCloseInline(tok_.SourcePos, stack_.Items(found), false);
  stack_.Delete(found);
  // Elements opened inside the one closed out of order inherit anew.
  for (int i = found; i < stack_.Count(); ++i)
    stack_.Items(i).Merge(stack_.Items(i - 1), document_.StyleSheet, stack_, i);
}

void THtmlBuilder::SetFontSizeScale(double basePoints) {
  static constexpr std::array<double, 7> kNormal{8, 10, 12, 14, 18, 24, 36};
  static constexpr std::array<double, 7> kPreformatted{7, 8, 10, 12, 15, 20, 30};
  for (size_t i = 0; i < kNormal.size(); ++i) {
    fontSizes_[i] = basePoints * kNormal[i] / 12;
    preFontSizes_[i] = basePoints * kPreformatted[i] / 12;
  }
}

void THtmlBuilder::OpenInlineBorder() {
  if (stack_.Last().HasBorderStyle())
    document_.OpenCloseInline(tok_.SourcePos, stack_.Last(), true);
}

// --- Sections and cells

TSection& THtmlBuilder::EnsureSection() {
  if (!section_) NewSection();
  return *section_;
}

void THtmlBuilder::NewSection(TAttributeList* attributes) {
  CloseSection();
  ++sectionsMade_;
  section_ = std::make_unique<TSection>(&document_, attributes, stack_.Last(),
                                        inLink_ ? &link_ : nullptr, cell_, cell_->Empty());
}

void THtmlBuilder::CloseSection() {
  if (!section_) return;
  // The section's final space stands where its text ends.
  const std::u16string& text = section_->Text;
  const int32_t last = text.empty() ? -1 : section_->SourcePosOf(int32_t(text.size()) - 1);
  CloseSectionAt(TextEndPos(last));
}

void THtmlBuilder::CloseSectionAt(int32_t textEnd) {
  if (section_) cell_->Add(std::move(section_), textEnd);
}

// At the start of the tag that ends the text (so that a name or ID the tag or what follows it
// brings lies past, on the next line), else where reading stands.
int32_t THtmlBuilder::TextEndPos(int32_t lastPos) const {
  const bool atTag = Sy() != TextSy && Sy() != EofSy && tok_.TagStart >= lastPos;
  return atTag ? std::min(tok_.TagStart, tok_.SourcePos) : tok_.SourcePos;
}

void THtmlBuilder::AddPage() {
  CloseSection();
  cell_->Add(std::make_unique<TPage>(&document_), tok_.TagStart);
}

void THtmlBuilder::PageBreakRule() {
  bool before = false, after = false, inside = false;
  stack_.Last().GetPageBreaks(before, after, inside);
  if (before || after) AddPage();
}

}  // namespace html

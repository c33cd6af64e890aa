// The block structure of a page: BODY, block containers, lists and list items.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/css/CssColors.h"
#include "html/parse/DocumentBuilderState.h"
#include "html/viewer/FormControls.h"

namespace html {

namespace {

constexpr int kMaxNesting = 200;
constexpr int32_t kParagraphSpace = 14;
constexpr int32_t kMaxBodyMargin = 200;

const TSymbolSet kTextLevel{
    TextSy,      BSy,       BEndSy,     ISy,    IEndSy,    EmSy,     EmEndSy,     StrongSy,
    StrongEndSy, USy,       UEndSy,     CiteSy, CiteEndSy, VarSy,    VarEndSy,    TTSy,
    TTEndSy,     CodeSy,    CodeEndSy,  KbdSy,  KbdEndSy,  SampSy,   SampEndSy,   BRSy,
    HSy,         HRSy,      ImageSy,    ASy,    AEndSy,    InputSy,  SelectSy,    TextAreaSy,
    FontSy,      FontEndSy, BaseFontSy, SubSy,  SubEndSy,  SupSy,    SupEndSy,    BigSy,
    BigEndSy,    SmallSy,   SmallEndSy, SSy,    SEndSy,    StrikeSy, StrikeEndSy, SpanSy,
    SpanEndSy,   LabelSy,   LabelEndSy, NoBrSy, NoBrEndSy, WbrSy,    PanelSy,     PageSy,
    MapSy,       ScriptSy,  ObjectSy,   PreSy,  PreEndSy,  TableSy};
const TSymbolSet kListStarts{OLSy, ULSy, DirSy, MenuSy, DLSy};
const TSymbolSet kMarkedLists{OLSy, ULSy, DirSy, MenuSy};
const TSymbolSet kListEnds{OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy};
const TSymbolSet kBlockContainers{AddressSy, BlockQuoteSy, CenterSy, FormSy, DivSy};

bool AttributeText(TAttributeList& attributes, Symb which, std::string& text) {
  TAttribute* attr = nullptr;
  if (!attributes.Find(which, attr)) return false;
  text = attr->Name;
  return true;
}

// A colour attribute as a property value; false when it names no colour.
bool AttributeColor(TAttributeList& attributes, Symb which, TColor& colour) {
  std::string text;
  return AttributeText(attributes, which, text) && ParseColor(text, false, colour);
}

}  // namespace

bool THtmlBuilder::EnterNesting() {
  if (nesting_ >= kMaxNesting) {
    Next();
    return false;
  }
  ++nesting_;
  return true;
}

void THtmlBuilder::DoBody(const TSymbolSet& stop) {
  while (Sy() != EofSy && !stop.Has(Sy())) {
    const Symb sy = Sy();
    if (sy == PSy) {
      DoP(stop);
    } else if (kTextLevel.Has(sy)) {
      DoTextLevel(stop);
    } else if (kListStarts.Has(sy)) {
      DoListAndEnd(stop);
    } else if (sy == LISy || sy == DDSy || sy == DTSy) {
      DoListItem(sy == LISy ? LISy : DLSy, stop, false, '1', 1);
    } else if (kBlockContainers.Has(sy)) {
      DoBlockContainer(stop);
    } else if (sy == TitleSy) {
      DoTitle();
    } else if (sy == BodySy) {
      DoBodyTag();
    } else if (sy == BaseSy) {
      DoBase();
    } else if (sy == LinkSy) {
      DoLink();
    } else if (sy == MetaSy) {
      DoMeta();
    } else if (sy == StyleSy) {
      DoStyle();
    } else if (sy == BgSoundSy) {
      DoSound();
    } else if (sy == FormEndSy) {
      form_ = nullptr;
      Next();
    } else {
      Next();
    }
  }
  if (Sy() == EofSy) Next();
}

void THtmlBuilder::DoBodyTag() {
  TAttributeList& attributes = tok_.Attributes;
  // Text already read counts as content: BODY then changes nothing rather than dropping it.
  const bool hasText = section_ && section_->Text.find_first_not_of(u" \r") != std::u16string::npos;
  if (hasText || !body_->Content.Empty() || tableDepth_ > 0) {
    Next();
    return;
  }
  if (section_) section_->RemoveLinks();
  section_.reset();
  PushCurrent("body");
  TProperties& props = stack_.Last();
  // The viewer's margins (in the base properties) unless an attribute gives one; rules for
  // "body" still come first.
  auto margin = [&](std::initializer_list<Symb> names, std::initializer_list<int> indexes) {
    int32_t value = VarToInt(stack_.Items(0).Values[size_t(*indexes.begin())]);
    TAttribute* attr = nullptr;
    for (Symb which : names) {
      if (!attributes.Find(which, attr)) continue;
      value = std::clamp(attr->Value, int32_t(0), kMaxBodyMargin);
      break;
    }
    for (int index : indexes) props.AddPropertyValue(index, value);
  };
  margin({MarginHeightSy, TopMarginSy}, {piMarginTop, piMarginBottom});
  margin({MarginWidthSy, LeftMarginSy}, {piMarginLeft, piMarginRight});
  const auto relative = [](TColor colour) { return int32_t(uint32_t(colour) | PaletteRelative()); };
  TColor colour = 0;
  if (AttributeColor(attributes, BGColorSy, colour))
    props.AddPropertyValue(piBackgroundColor, relative(colour));
  if (AttributeColor(attributes, TextSy, colour)) props.AddPropertyValue(piColor, relative(colour));
  std::string text;
  if (AttributeText(attributes, BackgroundSy, text))
    props.AddPropertyValue(piBackgroundImage, "url(" + text + ")");
  if (AttributeText(attributes, BGPropertiesSy, text) && plat::LowerCase(text) == "fixed")
    props.AddPropertyValue(piBackgroundAttachment, std::string("fixed"));
  if (AttributeColor(attributes, LinkSy, colour))
    document_.StyleSheet.ModifyLinkColor("link", colour);
  if (AttributeColor(attributes, VLinkSy, colour))
    document_.StyleSheet.ModifyLinkColor("visited", colour);
  if (AttributeColor(attributes, OLinkSy, colour)) {
    document_.StyleSheet.ModifyLinkColor("hover", colour);
    document_.HoverLinks = true;
  }
  // The new body takes the old one's place; nothing points into the old one afterwards. The old
  // one goes first, or the new top margin would collapse with its bottom margin.
  const int index = document_.IndexOf(body_);
  document_.Delete(index);
  auto body = std::make_unique<TBodyBlock>(&document_, props, &document_, &attributes);
  body_ = body.get();
  cell_ = &body_->Content;
  document_.Insert(index, std::move(body));
  NewSection();
  Next();
}

void THtmlBuilder::DoBlockContainer(const TSymbolSet& stop) {
  const Symb sy = Sy();
  if (sy == AddressSy || sy == BlockQuoteSy) {
    DoListAndEnd(stop);
    return;
  }
  if (!EnterNesting()) return;
  const Symb endSy = EndSymbFromSymb(sy);
  const std::string tag = SymbToStr(sy);
  CloseSection();
  if (sy == CenterSy) {
    PushCurrent(tag);
    Next();
    DoBody(stop.With({endSy}));
    CloseSection();
    PopPropertiesTo(tag);
  } else {
    TAttribute* align = nullptr;
    std::string alignText;
    if (sy == DivSy && tok_.Attributes.Find(AlignSy, align))
      alignText = plat::LowerCase(align->Name);
    PushCurrent(tag);
    if (!alignText.empty()) stack_.Last().AddPropertyValue(piTextAlign, alignText);
    TCellBasic* outer = nullptr;
    TBlock& block = OpenBlock<TBlock>(outer, &tok_.Attributes);
    if (sy == FormSy) form_ = &ThtmlForm::Create(document_, &tok_.Attributes);
    NewSection();
    Next();
    DoBody(stop.With({endSy}));
    CloseSection();
    PopPropertiesTo(tag);
    if (cell_->ClearLastBottomMargin()) {
      block.Margins.Edit()[piMarginBottom] = kParagraphSpace;
      block.BottomMarginAuto = true;
    }
    cell_ = outer;
    NewSection();
  }
  if (Sy() == endSy) {
    if (sy == FormSy) form_ = nullptr;
    Next();
  }
  --nesting_;
}

void THtmlBuilder::DoListAndEnd(const TSymbolSet& stop) {
  const Symb list = Sy();
  DoLists(list, stop);
  if (Sy() == EndSymbFromSymb(list)) Next();
}

void THtmlBuilder::DoLists(Symb list, const TSymbolSet& stop) {
  if (!EnterNesting()) return;
  TAttributeList& attributes = tok_.Attributes;
  int32_t counter = 1;
  char markerType = '1';
  bool plain = false;
  TAttribute* attr = nullptr;
  if (list == OLSy) {
    if (attributes.Find(StartSy, attr) && attr->Value >= 0) counter = attr->Value;
    if (attributes.Find(TypeSy, attr) && !attr->Name.empty()) markerType = attr->Name[0];
  } else if (list == ULSy) {
    std::string type;
    plain = attributes.Find(PlainSy, attr) ||
            (AttributeText(attributes, TypeSy, type) &&
             (plat::LowerCase(type) == "none" || plat::LowerCase(type) == "plain"));
  }
  const std::string tag = SymbToStr(list);
  const Symb endSy = EndSymbFromSymb(list);
  CloseSection();
  PushCurrent(tag);
  TCellBasic* outer = nullptr;
  TBlock& block = OpenBlock<TBlock>(outer, &attributes);
  Next();
  const bool marked = kMarkedLists.Has(list);
  if (!kListEnds.Has(Sy())) {
    if (marked) ++listLevel_;
    const TSymbolSet inner = stop.With({endSy});
    while (Sy() != endSy && Sy() != EofSy && !stop.Has(Sy())) {
      const Symb sy = Sy();
      if (sy == PSy) {
        DoP(inner);
      } else if (sy == LISy || sy == DDSy || sy == DTSy) {
        if (sy == LISy && attributes.Find(ValueSy, attr) && attr->Value != 0) counter = attr->Value;
        DoListItem(list, inner, plain, markerType, counter);
        counter = counter < INT32_MAX ? counter + 1 : counter;
      } else if (kListStarts.Has(sy)) {
        DoListAndEnd(inner);
      } else if (kBlockContainers.Has(sy)) {
        DoBlockContainer(inner);
      } else if (kTextLevel.Has(sy)) {
        DoTextLevel(inner);
      } else {
        Next();
      }
    }
    if (marked) --listLevel_;
    CloseSection();
    if (cell_->ClearLastBottomMargin()) {
      block.Margins.Edit()[piMarginBottom] = kParagraphSpace;
      block.BottomMarginAuto = true;
    }
  }
  PopPropertiesTo(tag);
  cell_ = outer;
  --nesting_;
}

void THtmlBuilder::DoListItem(Symb listSymbol, const TSymbolSet& stop, bool plain, char markerType,
                              int32_t counter) {
  if (!EnterNesting()) return;
  const std::string tag = SymbToStr(Sy());
  CloseSection();
  PushCurrent(tag);
  TCellBasic* outer = nullptr;
  OpenBlock<TBlockLI>(outer, listSymbol, plain, markerType, counter, listLevel_, &tok_.Attributes);
  NewSection();
  const uint64_t first = sectionsMade_;
  tok_.SkipWhiteSpace();
  Next();
  const bool inMarkedList = kMarkedLists.Has(listSymbol);
  while (Sy() != EofSy && !stop.Has(Sy())) {
    const Symb sy = Sy();
    if (kTextLevel.Has(sy)) {
      DoTextLevel(stop);
    } else if (sy == PSy && inMarkedList) {
      DoP(stop);
    } else if (sy == PEndSy || sy == CommandSy) {
      Next();
    } else if (kListStarts.Has(sy)) {
      DoListAndEnd(stop);
      cell_->ClearLastBottomMargin();
    } else if (kBlockContainers.Has(sy)) {
      DoBlockContainer(stop);
    } else {
      break;
    }
  }
  // The marker needs a line to stand on.
  if (section_ && sectionsMade_ == first && section_->Text.empty())
    section_->AddChar(kNoBreakSpace, TextEndPos(-1));
  CloseSection();
  PopPropertiesTo(tag);
  cell_ = outer;
  --nesting_;
}

}  // namespace html

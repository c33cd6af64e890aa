// Text-level markup: text, paragraphs, headers, breaks, rules, inline styles, links and fonts.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/css/CssColors.h"
#include "html/parse/DocumentBuilderState.h"

namespace html {

namespace {

const TSymbolSet kInlineStyleStarts{BSy,     ISy,    EmSy,  StrongSy, USy,    CiteSy,   VarSy,
                                    TTSy,    CodeSy, KbdSy, SampSy,   SSy,    StrikeSy, SpanSy,
                                    LabelSy, SubSy,  SupSy, BigSy,    SmallSy};
const TSymbolSet kInlineStyleEnds{BEndSy,    IEndSy,   EmEndSy,     StrongEndSy, UEndSy,
                                  CiteEndSy, VarEndSy, TTEndSy,     CodeEndSy,   KbdEndSy,
                                  SampEndSy, SEndSy,   StrikeEndSy, SpanEndSy,   LabelEndSy,
                                  SubEndSy,  SupEndSy, BigEndSy,    SmallEndSy};
// What a paragraph holds.
const TSymbolSet kParagraphContent = kInlineStyleStarts.With(
    {TextSy,      CommandSy, BEndSy,     IEndSy,    EmEndSy,    StrongEndSy, UEndSy,
     CiteEndSy,   VarEndSy,  TTEndSy,    CodeEndSy, KbdEndSy,   SampEndSy,   SEndSy,
     StrikeEndSy, SpanEndSy, LabelEndSy, SubEndSy,  SupEndSy,   BigEndSy,    SmallEndSy,
     BRSy,        ImageSy,   ASy,        AEndSy,    InputSy,    TextAreaSy,  SelectSy,
     FontSy,      FontEndSy, BaseFontSy, MapSy,     PageSy,     ScriptSy,    PanelSy,
     NoBrSy,      NoBrEndSy, WbrSy,      ObjectSy,  ObjectEndSy});
// What a header holds besides P and DIV.
const TSymbolSet kHeaderContent = kParagraphContent;

// ALIGN as a text-align value; empty when it names none.
std::string AlignValue(TAttributeList& attributes) {
  TAttribute* attr = nullptr;
  if (!attributes.Find(AlignSy, attr)) return {};
  const std::string align = plat::LowerCase(attr->Name);
  if (align == "middle") return "center";
  if (align == "left" || align == "center" || align == "right" || align == "justify") return align;
  return {};
}

// A SIZE attribute relates to the base font size when its text, as written, is a sign and more.
bool RelativeFontSize(const TAttribute& attr) {
  return attr.Name.size() >= 2 && (attr.Name[0] == '+' || attr.Name[0] == '-');
}

}  // namespace

void THtmlBuilder::DoText() {
  TokenObj& token = tok_.Token;
  const bool loneSpace = token.Count == 1 && token.Chars[0] == u' ';
  if (section_ || !loneSpace) EnsureSection().AddTokenObj(token);
  Next();
}

void THtmlBuilder::DoTextLevel(const TSymbolSet& stop) {
  const Symb sy = Sy();
  if (sy == TextSy) {
    DoText();
  } else if (sy == BRSy) {
    DoBreak();
  } else if (sy == HSy) {
    DoHeader(stop);
  } else if (sy == HRSy) {
    DoRule();
  } else if (sy == PreSy) {
    DoPre();
  } else if (sy == PreEndSy) {
    // Only a PRE with WRAP is still open here.
    CloseSection();
    PopPropertiesTo("pre");
    Next();
  } else if (sy == TableSy) {
    DoTable();
  } else if (sy == SelectSy || sy == MapSy) {
    sy == SelectSy ? DoSelect() : DoMap();
    if (Sy() == EndSymbFromSymb(sy)) Next();
  } else {
    DoInlineTag(false);
    Next();
  }
}

bool THtmlBuilder::DoInlineTag(bool preformatted) {
  const Symb sy = Sy();
  if (kInlineStyleStarts.Has(sy) || kInlineStyleEnds.Has(sy)) {
    DoInlineStyle();
  } else if (sy == ASy || sy == AEndSy) {
    DoAnchor();
  } else if (sy == FontSy || sy == BaseFontSy || sy == FontEndSy) {
    if (sy == FontEndSy)
      PopPropertiesTo("font");
    else
      DoFont(preformatted);
    if (section_) section_->ChangeFont(stack_.Last());
  } else if (sy == PageSy) {
    AddPage();
  } else if (sy == NoBrSy || sy == NoBrEndSy) {
    noBreak_ = sy == NoBrSy;
  } else if (sy == WbrSy) {
    if (section_) section_->ForceBreakAtEnd();
  } else if (sy == ScriptSy) {
    DoScript();
  } else if (sy == ImageSy) {
    DoImage();
  } else if (sy == PanelSy || sy == ObjectSy) {
    DoPanel();
  } else if (sy == InputSy) {
    DoInput();
  } else if (sy == TextAreaSy) {
    DoTextArea();
  } else {
    return false;
  }
  return true;
}

void THtmlBuilder::DoP(const TSymbolSet& stop) {
  if (stop.Has(PSy)) return;
  CloseSection();
  std::string align;
  TStyleKey key;
  do {
    if (Sy() == PSy) {
      align = AlignValue(tok_.Attributes);
      key = CurrentStyleKey();
    }
    tok_.SkipWhiteSpace();
    Next();
  } while (Sy() == PSy || Sy() == PEndSy);
  Push("p", key);
  if (!align.empty()) stack_.Last().AddPropertyValue(piTextAlign, align);
  TCellBasic* outer = nullptr;
  TBlock& block = OpenBlock<TBlock>(outer, nullptr);
  while (kParagraphContent.Has(Sy()) && !stop.Has(Sy())) {
    if (Sy() == CommandSy)
      Next();
    else
      DoTextLevel(stop);
  }
  if (Sy() == TableSy) {
    block.Margins.Edit()[piMarginBottom] = 0;
    block.BottomMarginAuto = false;
  }
  CloseSection();
  PopPropertiesTo("p");
  cell_ = outer;
  if (Sy() == PEndSy) Next();
}

void THtmlBuilder::DoHeader(const TSymbolSet& stop) {
  const int level = tok_.HeaderLevel;
  if (level < 1 || level > 6) {
    Next();
    return;
  }
  const std::string tag = "h" + std::to_string(level);
  CloseSection();
  const std::string align = AlignValue(tok_.Attributes);
  PushCurrent(tag);
  if (!align.empty()) stack_.Last().AddPropertyValue(piTextAlign, align);
  tok_.SkipWhiteSpace();
  Next();
  if (Sy() == CenterSy) {
    stack_.Last().AddPropertyValue(piTextAlign, std::string("center"));
    Next();
  }
  TCellBasic* outer = nullptr;
  OpenBlock<TBlock>(outer, nullptr);
  NewSection();
  while (!stop.Has(Sy())) {
    const Symb sy = Sy();
    if (sy == PSy) {
      DoP(stop);
    } else if (sy == DivSy) {
      DoBlockContainer(stop);
    } else if (sy == CommandSy) {
      Next();
    } else if (kHeaderContent.Has(sy)) {
      DoTextLevel(stop);
    } else {
      break;
    }
  }
  CloseSection();
  PopPropertiesTo(tag);
  cell_ = outer;
  if (Sy() == HEndSy) Next();
}

void THtmlBuilder::DoBreak() {
  TAttribute* clear = nullptr;
  if (tok_.Attributes.Find(ClearSy, clear)) {
    NewSection(&tok_.Attributes);
  } else {
    EnsureSection().AddChar(kLineBreakChar, tok_.TagStart);
    NewSection();
  }
  PushCurrent("br");
  PageBreakRule();
  PopPropertiesTo("br");
  Next();
}

void THtmlBuilder::DoRule() {
  CloseSection();
  PushCurrent("hr");
  TProperties& props = stack_.Last();
  auto rule = std::make_unique<THorzLine>(&document_, &tok_.Attributes, props);
  auto block =
      std::make_unique<THRBlock>(&document_, props, cell_, &tok_.Attributes, std::move(rule));
  cell_->Add(std::move(block), tok_.TagStart);
  PopPropertiesTo("hr");
  Next();
}

void THtmlBuilder::DoInlineStyle() {
  const Symb sy = Sy();
  if (kInlineStyleStarts.Has(sy)) {
    if (sy == SubSy || sy == SupSy || sy == BigSy || sy == SmallSy) EnsureSection();
    if (PushCurrent(SymbToStr(sy))) {
      // An inline element's background colour is its text's: the runs are drawn on it.
      stack_.Last().GetBackgroundColor();
      OpenInlineBorder();
    }
  } else {
    PopPropertiesTo(EndSymbToStr(sy));
  }
  if (section_) section_->ChangeFont(stack_.Last());
}

void THtmlBuilder::EndLink() {
  if (!inLink_) return;
  if (section_) link_.SetLast(section_->Fonts, tok_.TagStart);
  link_.Clear();
  inLink_ = false;
  if (section_) section_->SetLink(false, stack_.Last(), link_);
}

void THtmlBuilder::DoAnchor() {
  TAttributeList& attributes = tok_.Attributes;
  if (Sy() == AEndSy) {
    EndLink();
    PopPropertiesTo("a");
    if (section_) section_->ChangeFont(stack_.Last());
    return;
  }
  TAttribute* href = nullptr;
  const bool isLink = attributes.Find(HrefSy, href);
  if (isLink) {
    EndLink();
    TAttribute* attr = nullptr;
    const std::string target = attributes.Find(TargetSy, attr) ? attr->Name : info_.BaseTarget;
    link_.Assign(href->Name, target, attributes, tok_.TagStart);
    if (attributes.Find(TabIndexSy, attr)) link_.TabIndex = attr->Value;
  }
  const bool pushed = PushCurrent("a", isLink ? "link" : "");
  if (pushed) OpenInlineBorder();
  // A new section starts outside the link; the link run begins below.
  if (section_)
    section_->ChangeFont(stack_.Last());
  else
    NewSection();
  TAttribute* name = nullptr;
  if (attributes.Find(NameSy, name)) {
    std::string anchor = name->Name;
    if (!anchor.empty() && anchor[0] == '#') anchor.erase(0, 1);
    if (!anchor.empty()) document_.Targets.AddChPosObject(anchor, tok_.TagStart);
  }
  if (isLink) {
    inLink_ = true;
    section_->SetLink(true, stack_.Last(), link_);
  }
}

void THtmlBuilder::DoFont(bool preformatted) {
  TAttributeList& attributes = tok_.Attributes;
  const bool baseFont = Sy() == BaseFontSy;
  TAttribute* attr = nullptr;
  int size = 0;
  if (attributes.Find(SizeSy, attr)) {
    // A size without a number is 0, which makes the smallest.
    const int64_t value = attr->Value;
    size = int(std::clamp<int64_t>(RelativeFontSize(*attr) ? baseFontSize_ + value : value, 1, 7));
    if (baseFont) baseFontSize_ = size;
  }
  TColor colour = 0;
  const bool hasColour = attributes.Find(ColorSy, attr) && ParseColor(attr->Name, false, colour);
  std::string face;
  if (!baseFont && attributes.Find(FaceSy, attr)) face = attr->Name;
  uint8_t charset = 0;
  const bool hasCharset =
      !utf8_ && attributes.Find(CharSetSy, attr) && tok_.FindCharset(attr->Name, charset);
  if (!PushCurrent("font")) return;
  stack_.Last().GetBackgroundColor();
  OpenInlineBorder();
  TProperties& props = stack_.Last();
  if (hasColour) props.AddPropertyValue(piColor, int32_t(uint32_t(colour) | PaletteRelative()));
  if (size > 0)
    props.AddPropertyValue(piFontSize, (preformatted ? preFontSizes_ : fontSizes_)[size - 1]);
  if (!face.empty()) props.AddPropertyValue(piFontFamily, face);
  if (hasCharset) props.AssignCharSet(charset);
}

}  // namespace html

// Preformatted text: PRE read character by character, a section for each run of lines that
// look alike, and plain-text documents.
#include "html/layout/text/PreformattedText.h"
#include "html/parse/DocumentBuilderState.h"
#include "html/viewer/FormControls.h"

namespace html {

void THtmlBuilder::NewPreSection() {
  CloseSection();
  ++sectionsMade_;
  section_ = std::make_unique<TPreFormated>(&document_, nullptr, stack_.Last(),
                                            inLink_ ? &link_ : nullptr, cell_, false);
}

void THtmlBuilder::EndPreLine() {
  // Lines join only where each laid-out line is a source line (wrapped PRE breaks by measure).
  // The closing space of an empty line stands where the line ends.
  auto* pre = dynamic_cast<TPreFormated*>(section_.get());
  if (pre && pre->KeepsSourceLines() && !inLink_ && pre->WouldStartAlike(stack_.Last())) {
    pre->EndLine(tok_.SourcePos);
    return;
  }
  CloseSectionAt(tok_.SourcePos);
  NewPreSection();
}

void THtmlBuilder::FlushToken() {
  if (tok_.Token.Count == 0) return;
  EnsureSection().AddTokenObj(tok_.Token);
  tok_.Token.Clear();
}

bool THtmlBuilder::GatherPreText() {
  const auto endsRun = [this] {
    return tok_.LCh == '\r' || tok_.LCh == '<' || uint8_t(tok_.LCh) < '\t';
  };
  TCharCollection& stretch = preText_;
  stretch.Clear();
  const int32_t before = tok_.Token.Count;
  while (!endsRun()) {
    if (tok_.LCh == '&') {
      tok_.GetTextEntity(stretch);
    } else {
      stretch.Add(tok_.LCh, tok_.SourcePos);
      tok_.GetCh();
    }
  }
  if (stretch.Count > 0) tok_.Token.AddConverted(stretch, stack_.Last().CodePage);
  return tok_.Token.Count > before;
}

void THtmlBuilder::DoPre() {
  TAttribute* wrap = nullptr;
  if (tok_.Attributes.Find(WrapSy, wrap)) {
    // Wrapped preformatted text is read as ordinary text in the PRE font.
    CloseSection();
    PushCurrent("pre");
    Next();
    return;
  }
  CloseSection();
  PushCurrent("pre");
  const int level = stack_.Count();
  TCellBasic* outer = nullptr;
  OpenBlock<TBlock>(outer, &tok_.Attributes);
  NewPreSection();
  // A paragraph and a form opened inside the PRE: the cells they were opened in.
  TCellBasic* paragraphOuter = nullptr;
  TCellBasic* formOuter = nullptr;
  const auto endBlock = [this](TCellBasic*& blockOuter, const char* tag) {
    if (!blockOuter) return false;
    CloseSection();
    PopPropertiesTo(tag);
    cell_ = blockOuter;
    blockOuter = nullptr;
    return true;
  };
  const auto endParagraph = [&] { return endBlock(paragraphOuter, "p"); };
  const auto endForm = [&] {
    if (!endBlock(formOuter, "form")) return false;
    form_ = nullptr;
    return true;
  };
  const auto skipLineEnd = [this] {
    if (tok_.LCh == '\r') tok_.GetCh();
  };
  tok_.Token.Clear();
  bool ended = false;
  // A symbol that a SELECT or MAP stopped on, still to be dispatched.
  bool pending = false;
  while (!ended && (pending || tok_.LCh != 0)) {
    if (!pending) {
      if (tok_.LCh == '\r') {
        FlushToken();
        EndPreLine();
        tok_.GetCh();
        continue;
      }
      if (tok_.LCh != '<') {
        if (!GatherPreText()) tok_.GetCh();
        continue;
      }
      FlushToken();
      Next();
    }
    pending = false;
    const Symb sy = Sy();
    if (sy == TextSy) {
      FlushToken();
    } else if (sy == PSy) {
      if (!endParagraph()) CloseSection();
      skipLineEnd();
      PushCurrent("p");
      OpenBlock<TBlock>(paragraphOuter, nullptr);
      NewPreSection();
    } else if (sy == PEndSy) {
      endParagraph();
      NewPreSection();
    } else if (sy == FormSy) {
      endParagraph();
      if (!endForm()) CloseSection();
      PushCurrent("form");
      OpenBlock<TBlock>(formOuter, &tok_.Attributes);
      form_ = &ThtmlForm::Create(document_, &tok_.Attributes);
      NewPreSection();
    } else if (sy == FormEndSy) {
      endParagraph();
      endForm();
      NewPreSection();
    } else if (sy == BRSy) {
      CloseSection();
      PushCurrent("br");
      PageBreakRule();
      PopPropertiesTo("br");
      NewPreSection();
      skipLineEnd();
    } else if (sy == FontEndSy) {
      if (stack_.Count() > level) DoInlineTag(true);
    } else if (sy == PageSy) {
      AddPage();
      NewPreSection();
    } else if (sy == SelectSy || sy == MapSy) {
      sy == SelectSy ? DoSelect() : DoMap();
      // Past their own end tag the PRE reads on by characters; any other stop is dispatched.
      pending = Sy() != EndSymbFromSymb(sy);
    } else if (sy == PreEndSy || sy == TableSy || sy == TDEndSy || sy == THEndSy) {
      ended = true;
    } else {
      DoInlineTag(true);
    }
    tok_.Token.Clear();
  }
  const bool blockEnded = endParagraph();
  if (!endForm() && !blockEnded) CloseSection();
  // Elements left open inside end with it.
  PopToLevel(level - 1);
  cell_ = outer;
  // The symbol that ended the PRE is dispatched by the caller; its end tag is consumed.
  if (!ended || Sy() == PreEndSy) Next();
}

// One preformatted block; every byte is the character of the same code.
void THtmlBuilder::ParseText(std::string doc) {
  constexpr int32_t kTokenChunk = 200;
  TTextBuildScope scope(*this);
  InitParse(std::move(doc));
  tok_.RawText = true;
  tok_.GetCh();
  CloseSection();
  PushProperties("pre");
  TCellBasic* outer = nullptr;
  OpenBlock<TBlock>(outer, nullptr);
  NewPreSection();
  TokenObj token;
  for (; tok_.LCh != 0; tok_.GetCh()) {
    if (tok_.LCh == '\r') {
      section_->AddTokenObj(token);
      token.Clear();
      EndPreLine();
      continue;
    }
    token.AddUnicodeChar(char16_t(uint8_t(tok_.LCh)), tok_.SourcePos);
    if (token.Count > kTokenChunk) {
      section_->AddTokenObj(token);
      token.Clear();
    }
  }
  section_->AddTokenObj(token);
  CloseSection();
  PopPropertiesTo("pre");
  cell_ = outer;
}

}  // namespace html

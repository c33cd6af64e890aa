// Filling a text section: characters with flags and source positions, font and link runs,
// objects, and the tidying of white space once the text is complete.
#include <algorithm>
#include <cstdlib>

#include "html/layout/text/TextSection.h"
#include "platform/htmlservices/TextClusters.h"

namespace html {

namespace {
TTextBuildState* currentBuildState = nullptr;

uint8_t AlignCode(const TCssValue& value) {
  if (VarIs(value, "right")) return 3;
  if (VarIs(value, "center")) return 2;
  if (VarIs(value, "justify")) return 4;
  return 1;
}

uint8_t ScriptCode(const TProperties& prop) {
  int align = 0;
  return prop.GetVertAlign(align) && (align == 8 || align == 9) ? uint8_t(align) : 0;
}
}  // namespace

TTextBuildScope::TTextBuildScope(TTextBuildState& state) : previous_(currentBuildState) {
  currentBuildState = &state;
}

TTextBuildScope::~TTextBuildScope() {
  currentBuildState = previous_;
}

TTextBuildState* CurrentTextBuildState() {
  return currentBuildState;
}

TSection::TSection(TSectionList* owner, TAttributeList* attributes, TProperties& prop,
                   const TUrlTarget* link, TCellBasic*, bool firstSection)
    : TSectionBase(owner), SourcePos(std::make_unique<std::vector<int32_t>>()) {
  Fonts.Add(std::make_unique<TFontObj>(this, prop.SharedFont(FontShare()), 0));
  TFontObj& first = *Fonts.First();
  first.SetTitle(prop.Title);
  if (link && !link->URL.empty()) {
    first.LinkRecord().Copy(*link);
    first.CreateFontInfos();
    prop.GetFontInfo(*first.FontInfos());
    AddLinkRun(first);
    if (!Document->ManyLinks) first.CreateFocusControl(link->TabIndex);
  }
  const TLook look = LookOf(prop, *first.Font);
  LineHeight = look.LineHeight;
  if (firstSection) {
    bool isPercent = false;
    if (const int32_t indent = prop.GetTextIndent(isPercent); indent != 0) {
      Rare().FirstIndent = indent;
      if (isPercent) Rare().FirstIndentPercent = std::min(indent, 90);
    }
  }
  if (attributes) {
    TAttribute* attr = nullptr;
    if (attributes->Find(ClearSy, attr)) {
      const std::string value = plat::LowerCase(attr->Name);
      ClearMode = value == "left" ? 1 : value == "right" ? 2 : 3;
    }
    if (const std::string id = attributes->GetID(); !id.empty()) {
      Document->Targets.AddObject(id, this);
      Rare().TargetName = id;
    }
  }
  if (int clear = 0; prop.GetClear(clear)) ClearMode = uint8_t(clear);
  TextAlign = look.TextAlign;
  BreakWord = look.BreakWord;
}

TSection::TLook TSection::LookOf(TProperties& prop, const TMyFont& font) {
  TLook look;
  look.LineHeight = prop.GetLineHeight(std::abs(font.Height()));
  look.TextAlign = AlignCode(prop.Values[piTextAlign]);
  look.BreakWord = VarIs(prop.Values[piWordWrap], "break-word");
  return look;
}

bool TSection::WouldStartAlike(TProperties& prop) const {
  const TFontObj& last = *Fonts.Last();
  // A clear still to be taken belongs to the section that would start.
  if (last.Link() || last.ScriptShift != 0 || last.Title() != prop.Title ||
      VarString(prop.Values[piClear]))
    return false;
  const std::shared_ptr<const TMyFont> font = prop.SharedFont(FontShare());
  if (font != last.Font) return false;
  const TLook look = LookOf(prop, *font);
  return look.LineHeight == LineHeight && look.TextAlign == TextAlign &&
         look.BreakWord == BreakWord;
}

TSection::TSection(TSectionList* owner, const TSection& source)
    : TSectionBase(owner, source),
      SectionNumber(source.SectionNumber),
      SourceRising(source.SourceRising),
      BreakWord(source.BreakWord),
      TextAlign(source.TextAlign),
      ClearMode(source.ClearMode),
      Text(source.Text),
      BreakFlags(source.BreakFlags),
      SourceIndex(source.SourceIndex),
      LineHeight(source.LineHeight) {
  if (source.HasClusters()) Rare().ClusterTail = source.rare_->ClusterTail;
  if (source.FirstIndent() != 0) {
    Rare().FirstIndent = source.FirstIndent();
    Rare().FirstIndentPercent = source.FirstIndentPercent();
  }
  // Runs keep fonts and links; focus windows and objects stay with the original.
  for (const auto& run : source.Fonts) {
    auto copy = std::make_unique<TFontObj>(this, run->Font, run->StartPos);
    if (run->Link()) copy->LinkRecord().Copy(*run->Link());
    copy->ScriptShift = run->ScriptShift;
    copy->SetTitle(run->Title());
    Fonts.Add(std::move(copy));
  }
}

TSection::~TSection() {
  DropTarget();
}

std::unique_ptr<TSectionBase> TSection::CreateCopy(TSectionList* document) const {
  return std::make_unique<TSection>(document, *this);
}

void TSection::AddLinkRun(TFontObj& run) {
  html::AddLinkRun(Document->LinkRuns, run);
}

void TSection::AppendText(std::u16string_view chars, const int32_t* positions, char flag) {
  Text.append(chars);
  BreakFlags.append(chars.size(), flag);
  if (SourcePos) SourcePos->insert(SourcePos->end(), positions, positions + chars.size());
}

void TSection::AddChar(char16_t ch, int32_t sourcePos) {
  TokenObj token;
  token.AddUnicodeChar(ch, sourcePos);
  AddTokenObj(token);
}

void TSection::AddTokenObj(TokenObj& token) {
  const int32_t count = token.Count;
  if (count <= 0) return;
  TTextBuildState* state = CurrentTextBuildState();
  std::u16string chars(token.Chars.data(), size_t(count));
  const int32_t* positions = token.Positions.data();
  if (state) {
    const int transform = state->TopProperties().GetTextTransform();
    if (transform == 1)
      chars = WideUpperCaseStr(chars);
    else if (transform == 2)
      chars = WideLowerCaseStr(chars);
  }
  const char flag = (state && state->NoBreak()) || IsPreformatted() ? kBreakNever : kBreakOrdinary;
  if (state && state->TopProperties().GetFontVariant() == "small-caps")
    AddSmallCaps(chars, positions, flag);
  else
    AppendText(chars, positions, flag);
}

void TSection::AddSmallCaps(std::u16string_view chars, const int32_t* positions, char flag) {
  TTextBuildState& state = *CurrentTextBuildState();
  const std::u16string capitals = WideUpperCaseStr(chars);
  bool small = false;
  const auto switchSmall = [&](bool on) {
    if (on)
      state.PushProperties("small");
    else
      state.PopPropertiesTo("small");
    ChangeFont(state.TopProperties());
    small = on;
  };
  for (size_t i = 0; i < chars.size(); ++i) {
    const char16_t ch = chars[i];
    const bool neutral = ch == u' ' || (ch >= u'0' && ch <= u'9');
    if (!neutral && ch != capitals[i] && !small)
      switchSmall(true);
    else if (!neutral && ch == capitals[i] && small)
      switchSmall(false);
    AppendText(std::u16string_view(capitals).substr(i, 1), positions + i, flag);
  }
  if (small) switchSmall(false);
}

LineRec& TLineList::operator[](int index) {
  CheckListIndex(index, Count());
  return lines_[size_t(index)];
}

const LineRec& TLineList::operator[](int index) const {
  CheckListIndex(index, Count());
  return lines_[size_t(index)];
}

TSection::TRare& TSection::Rare() {
  if (!rare_) rare_ = std::make_unique<TRare>();
  return *rare_;
}

const TImageObjList& TSection::Images() const {
  static const TImageObjList none;
  return rare_ ? rare_->Images : none;
}

const TFormControlList& TSection::FormControls() const {
  static const TFormControlList none;
  return rare_ ? rare_->FormControls : none;
}

TFontShare* TSection::FontShare() const {
  return Document ? &Document->SharedFonts : nullptr;
}

TFontObj& TSection::StartRun(TProperties& prop) {
  TFontObj* last = Fonts.Last();
  if (int32_t(Text.size()) > last->StartPos) {
    auto run = std::make_unique<TFontObj>(this, prop.SharedFont(FontShare()), int32_t(Text.size()));
    if (last->Link()) run->LinkRecord().Copy(*last->Link());
    last = run.get();
    Fonts.Add(std::move(run));
  } else {
    last->ReplaceFont(prop.SharedFont(FontShare()));
  }
  last->SetTitle(prop.Title);
  last->ScriptShift = ScriptCode(prop);
  return *last;
}

void TSection::ChangeFont(TProperties& prop) {
  TFontObj& run = StartRun(prop);
  if (!run.IsLink()) return;
  run.CreateFontInfos();
  prop.GetFontInfo(*run.FontInfos());
  AddLinkRun(run);
}

void TSection::SetLink(bool linkStart, TProperties& prop, const TUrlTarget& link) {
  TFontObj& run = StartRun(prop);
  run.LinkRecord().Copy(link);
  if (linkStart) {
    run.CreateFontInfos();
    prop.GetFontInfo(*run.FontInfos());
    AddLinkRun(run);
    if (!Document->ManyLinks) run.CreateFocusControl(link.TabIndex);
    return;
  }
  run.DropFontInfos();
  if (!run.IsLink()) {
    // A link that ended before any of its text: the run is no link any more.
    DropLinkRun(Document->LinkRuns, run);
    run.DropFocusControl();
  }
}

void TSection::AddFloatingObj(std::unique_ptr<TFloatingObj> obj, int32_t sourcePos) {
  TTextBuildState* state = CurrentTextBuildState();
  obj->Pos = int32_t(Text.size());
  MutableImages().Add(std::move(obj));
  const char flag = state && state->NoBreak() ? kBreakNever : kBreakOrdinary;
  AppendText(std::u16string_view(&kObjectChar, 1), &sourcePos, flag);
}

void TSection::AddFormControl(TFormControlObj& control, int32_t sourcePos, char flag,
                              TProperties* prop) {
  control.Pos = int32_t(Text.size());
  Rare().FormControls.push_back(&control);
  AppendText(std::u16string_view(&kControlChar, 1), &sourcePos, flag);
  if (prop && prop->HasBorderStyle() != 0) {
    Document->OpenCloseInline(sourcePos, *prop, true);
    Document->OpenCloseInline(sourcePos + 1, *prop, false);
  }
}

void TSection::ForceBreakAtEnd() {
  if (!BreakFlags.empty()) BreakFlags.back() = kBreakForced;
}

void TSection::RemoveLinks() {
  for (const auto& run : Fonts) {
    DropLinkRun(Document->LinkRuns, *run);
    if (run->FocusControl()) Document->TabIndexList.Remove(run->FocusControl());
  }
  DropTarget();
}

void TSection::DropTarget() {
  // Names map to objects; a null entry is what an absent name looks like.
  if (rare_ && !rare_->TargetName.empty() && Document &&
      Document->Targets.Find(rare_->TargetName) == this)
    Document->Targets.AddObject(rare_->TargetName, nullptr);
}

void TSection::KeepOnly(const std::vector<int32_t>& kept) {
  if (kept.size() == Text.size()) return;
  std::u16string text;
  std::string flags;
  text.reserve(kept.size());
  flags.reserve(kept.size());
  for (int32_t i : kept) {
    text += Text[size_t(i)];
    flags += BreakFlags[size_t(i)];
  }
  Text.swap(text);
  BreakFlags.swap(flags);
  if (SourcePos) {
    std::vector<int32_t> sources;
    sources.reserve(kept.size());
    for (int32_t i : kept) sources.push_back((*SourcePos)[size_t(i)]);
    SourcePos->swap(sources);
  }
  // Objects are never removed: each moves to where its character went.
  const auto newPosition = [&kept](int32_t p) {
    return int32_t(std::lower_bound(kept.begin(), kept.end(), p) - kept.begin());
  };
  for (const auto& obj : Images()) obj->Pos = newPosition(obj->Pos);
  for (TFormControlObj* control : FormControls()) control->Pos = newPosition(control->Pos);
  Fonts.Compact(kept, Document);
}

void TSection::ProcessText(int tagIndex) {
  // Each step keeps, in order, the characters it does not remove (their old positions); the
  // text, its runs and objects take the result once at the end, however much goes.
  const int32_t length = int32_t(Text.size());
  const auto ch = [this](int32_t i) { return Text[size_t(i)]; };
  std::vector<int32_t> kept, out;
  kept.reserve(size_t(length));
  out.reserve(size_t(length));
  const auto step = [&](auto keep) {
    out.clear();
    for (int32_t i : kept) keep(i);
    kept.swap(out);
  };
  int32_t first = 0;
  while (first < length && ch(first) == u' ') ++first;
  for (int32_t i = first; i < length; ++i) kept.push_back(i);
  // Soft hyphens go; the character before one may end a line there.
  step([&](int32_t i) {
    if (ch(i) != kSoftHyphen) {
      out.push_back(i);
    } else if (!out.empty() && BreakFlags[size_t(out.back())] != kBreakNever) {
      BreakFlags[size_t(out.back())] = kBreakSoftHyphen;
    }
  });
  // Of two spaces one goes: the first when it may not break, else the second.
  step([&](int32_t i) {
    if (ch(i) != u' ' || out.empty() || ch(out.back()) != u' ')
      out.push_back(i);
    else if (BreakFlags[size_t(out.back())] == kBreakNever)
      out.back() = i;
  });
  // The space after a floating picture.
  bool afterFloat = false;
  step([&](int32_t i) {
    if (!(afterFloat && ch(i) == u' ')) out.push_back(i);
    const TFloatingObj* obj = ch(i) == kObjectChar ? Images().FindImage(i) : nullptr;
    afterFloat = obj && obj->IsFloating();
  });
  // Spaces before and after a line break.
  bool afterBreak = false;
  step([&](int32_t i) {
    const bool drop = afterBreak && ch(i) == u' ';
    afterBreak = false;
    if (drop) return;
    if (ch(i) == kLineBreakChar) {
      if (!out.empty() && ch(out.back()) == u' ') out.pop_back();
      afterBreak = true;
    }
    out.push_back(i);
  });
  if (kept.size() > 1 && ch(kept.back()) == kLineBreakChar) kept.pop_back();
  if (kept.size() > 1 && ch(kept.back()) == u' ') kept.pop_back();
  KeepOnly(kept);
  const bool onlyLineBreak = Text.size() == 1 && Text.front() == kLineBreakChar;
  if (!onlyLineBreak && !Text.empty() && Text.back() != u' ') {
    const int32_t oldEnd = int32_t(Text.size());
    const int32_t sourcePos = tagIndex;
    AppendText(u" ", &sourcePos, kBreakOrdinary);
    if (Fonts.Last()->StartPos == oldEnd) Fonts.Last()->StartPos = oldEnd + 1;
  }
  FinishText();
}

void TSection::FinishText() {
  PosCount = int32_t(Text.size());
  if (Text.empty()) return;
  BreakFlags.push_back(kBreakOrdinary);
  std::vector<bool> clusterTail = plat::ClusterContinuations(Text);
  if (!clusterTail.empty())
    Rare().ClusterTail = std::move(clusterTail);
  else if (rare_)
    rare_->ClusterTail.clear();
  if (SourcePos) {
    const std::vector<int32_t>& positions = *SourcePos;
    for (size_t i = 0; i < positions.size(); ++i) {
      if (i > 0 && positions[i] == positions[i - 1] + 1) continue;
      SourceRising = SourceRising && (i == 0 || positions[i] > positions[i - 1]);
      SourceIndex.push_back({int32_t(i), positions[i]});
    }
    SourcePos.reset();
  }
  // Each PRE line counts as the section it would have been.
  SectionNumber = Document->SectionCount + 1;
  Document->SectionCount +=
      1 + int32_t(std::count(BreakFlags.begin(), BreakFlags.end(), kBreakLineEnd));
}

int32_t TSection::SourcePosOf(int32_t position) const {
  if (SourcePos)
    return position >= 0 && position < int32_t(SourcePos->size()) ? (*SourcePos)[size_t(position)]
                                                                  : -1;
  const auto after = std::upper_bound(SourceIndex.begin(), SourceIndex.end(), position,
                                      [](int32_t p, const IndexObj& obj) { return p < obj.Pos; });
  if (after == SourceIndex.begin() || position >= PosCount) return -1;
  const IndexObj& run = *(after - 1);
  return run.Index + (position - run.Pos);
}

}  // namespace html

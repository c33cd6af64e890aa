#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "html/layout/text/TextSection.h"

namespace html {

namespace {
constexpr int32_t kParkedLeft = -4000;

TFontObj* AsRun(TLinkRun* run) {
  return dynamic_cast<TFontObj*>(run);
}
}  // namespace

TFontObj::TFontObj(TSection* section, std::shared_ptr<const TMyFont> font, int32_t position)
    : StartPos(position), Section(section), Font(std::move(font)) {
  if (Font->tmHeight == 0) {  // a real font is at least a pixel high
    auto measured = std::make_shared<TMyFont>();
    measured->Assign(*Font);
    MeasureFont(*measured);
    Font = std::move(measured);
  }
}

TFontObj::~TFontObj() {
  // The document's lists hold plain pointers: they must not outlive the run.
  if (TSectionList* document = Document()) {
    DropLinkRun(document->LinkRuns, *this);
    if (document->HoverLink == this) document->HoverLink = nullptr;
    if (FocusControl()) document->TabIndexList.Remove(FocusControl());
  }
}

TSectionList* TFontObj::Document() const {
  return Section ? Section->Document : nullptr;
}

TFontObj::TExtras& TFontObj::Extras() {
  if (!extras_) extras_ = std::make_unique<TExtras>();
  return *extras_;
}

const std::string& TFontObj::Title() const {
  static const std::string none;
  return extras_ ? extras_->Title : none;
}

void TFontObj::SetTitle(const std::string& title) {
  if (extras_ || !title.empty()) Extras().Title = title;
}

void TFontObj::ReplaceFont(std::shared_ptr<const TMyFont> font) {
  Font = std::move(font);
}

void TFontObj::ApplyFontInfo(const ThtFontInfo& info) {
  // Other runs may share the font: the new look is a font of the run's own.
  auto font = std::make_shared<TMyFont>();
  font->Assign(*Font);
  font->SetName(info.Name);
  const double pixels = std::nearbyint(plat::kFontPixelsPerInch * info.Size / 72);
  font->SetHeight(-int(std::clamp(pixels, 1.0, 10000.0)));
  font->SetStyle(info.Style);
  font->BackgroundColor = info.BackgroundColor;
  font->SetColor(info.Color);
  font->SetCharset(info.Charset);
  MeasureFont(*font);
  Font = std::move(font);
}

void TFontObj::CreateFontInfos() {
  if (!FontInfos()) Extras().FontInfos = std::make_unique<TFontInfoArray>();
}

void TFontObj::DropFontInfos() {
  if (extras_) extras_->FontInfos.reset();
}

void TFontObj::ApplyLinkState() {
  if (!FontInfos()) return;
  const int state = (IsVisited ? TFontInfoArray::Visited : TFontInfoArray::Link) +
                    (IsHovered ? TFontInfoArray::Hover : 0);
  ApplyFontInfo(FontInfos()->Ar[size_t(state)]);
}

void TFontObj::SetVisited(bool value) {
  if (value == IsVisited) return;
  IsVisited = value;
  ApplyLinkState();
}

void TFontObj::SetHover(bool value) {
  if (value == IsHovered) return;
  IsHovered = value;
  ApplyLinkState();
}

template <class Visit>
void TFontObj::ForFollowingRunsOfLink(Visit&& visit) {
  visit(*this);
  TSectionList* document = Document();
  if (!document) return;
  const auto& runs = document->LinkRuns;
  for (size_t at = FindLinkRun(runs, *this) + 1; at < runs.size() && runs[at]->LinkID() == LinkID();
       ++at)
    if (TFontObj* run = AsRun(runs[at])) visit(*run);
}

bool AnswerWantArrows(plat::TMessage& message) {
  if (message.Msg != plat::WM_GETDLGCODE) return false;
  message.Result = plat::DLGC_WANTARROWS;
  return true;
}

void ThtTabcontrol::WndProc(plat::TMessage& message) {
  if (!AnswerWantArrows(message)) plat::TWinControl::WndProc(message);
}

// The run of this link before `from` in the document's link runs that holds the focus window.
static TFontObj* EarlierFocusHolder(TSectionList& document, const TFontObj& from) {
  const auto& runs = document.LinkRuns;
  size_t at = FindLinkRun(runs, from);
  if (at == runs.size()) return nullptr;
  while (at > 0 && runs[at - 1]->LinkID() == from.LinkID()) {
    TFontObj* run = AsRun(runs[--at]);
    if (run && run->FocusControl()) return run;
  }
  return nullptr;
}

// EarlierFocusHolder for the runs a layout pass meets one after the other: a run asked again
// (it reaches over several lines) has the same answer, and where the run just before this one in
// the list was the last asked, the walk back goes on from its answer.
static TFontObj* LaidOutFocusHolder(TSectionList& document, const TFontObj& from) {
  const auto& runs = document.LinkRuns;
  const size_t at = FindLinkRun(runs, from);
  if (at == runs.size()) return nullptr;
  TSectionList::TFocusHolderMemo& memo = document.FocusHolderMemo;
  const bool known =
      memo.Pass == document.LayoutPass &&
      (memo.HolderAt == runs.size() || (memo.HolderAt < at && runs[memo.HolderAt] == memo.Holder));
  if (known && memo.Run == &from) return memo.Holder;
  TFontObj* holder = nullptr;
  if (known && at > 0 && runs[at - 1] == memo.Run && runs[at - 1]->LinkID() == from.LinkID()) {
    TFontObj* before = AsRun(runs[at - 1]);
    holder = before && before->FocusControl() ? before : memo.Holder;
  } else {
    holder = EarlierFocusHolder(document, from);
  }
  memo = {document.LayoutPass, &from, holder, holder ? FindLinkRun(runs, *holder) : runs.size()};
  return holder;
}

void TFontObj::CreateFocusControl(int32_t tabIndex) {
  TSectionList* document = Document();
  if (FocusControl() || !document || EarlierFocusHolder(*document, *this)) return;
  SetFocusControl(std::make_unique<ThtTabcontrol>(nullptr));
  ThtTabcontrol& window = *FocusControl();
  if (document->PaintPanel) window.SetParent(document->PaintPanel);
  window.SetBounds(kParkedLeft, 0, 1, 1);
  window.SetTabStop(true);
  if (tabIndex > 0) document->TabIndexList.Add(tabIndex, &window);
}

void TFontObj::SetFocusControl(std::unique_ptr<ThtTabcontrol> window) {
  if (!window && !extras_) return;
  Extras().FocusControl = std::move(window);
  if (FocusControl()) BindFocusHandlers();
}

void TFontObj::DropFocusControl() {
  if (!FocusControl()) return;
  if (TSectionList* document = Document()) document->TabIndexList.Remove(FocusControl());
  extras_->FocusControl.reset();
}

void TFontObj::BindFocusHandlers() {
  ThtTabcontrol& window = *FocusControl();
  window.OnEnter = [this](plat::TObject*) { FocusEnter(); };
  window.OnExit = [this](plat::TObject*) { FocusExit(); };
  window.OnKeyDown = [this](plat::TObject*, uint16_t& key, plat::TShiftState shift) {
    if (TSectionList* document = Document(); document && document->LinkKeyDown)
      document->LinkKeyDown(*this, key, shift);
  };
}

void TFontObj::HandFocusControlTo(TFontObj& to) {
  if (FocusControl()) to.SetFocusControl(std::move(extras_->FocusControl));
}

const std::string& TFontObj::GetURL() const {
  static const std::string none;
  return Link() ? Link()->URL : none;
}

TUrlTarget& TFontObj::LinkRecord() {
  if (!Link()) Extras().Link = std::make_unique<TUrlTarget>();
  return *Link();
}

void TFontObj::AssignLinkY(int32_t y) {
  if (!IsLink()) return;
  if (FocusControl()) {
    SetLinkY(y);
    return;
  }
  if (TSectionList* document = Document())
    if (TFontObj* holder = LaidOutFocusHolder(*document, *this)) holder->SetLinkY(y);
}

void TFontObj::FocusEnter() {
  TSectionList* document = Document();
  if (document && document->Clearing) return;
  ForFollowingRunsOfLink([](TFontObj& run) { run.IsFocused = true; });
  if (document && document->PaintPanel) document->PaintPanel->Invalidate();
  if (document && document->LinkFocused) document->LinkFocused(*this);
}

void TFontObj::FocusExit() {
  TSectionList* document = Document();
  if (document && document->Clearing) return;
  ForFollowingRunsOfLink([](TFontObj& run) { run.IsFocused = false; });
  if (document && document->PaintPanel) document->PaintPanel->Invalidate();
}

// --- TFontList

int TFontList::FirstStartingAtOrAfter(int32_t position) const {
  // Layout, drawing and hit tests walk a section forwards: most look-ups land where the last
  // one did or on the next run; the rest search the sorted starts.
  const int count = Count();
  const auto fits = [&](int i) {
    return (i == 0 || Items(i - 1)->StartPos < position) &&
           (i == count || Items(i)->StartPos >= position);
  };
  for (int i : {hint_, hint_ + 1})
    if (i >= 0 && i <= count && fits(i)) return hint_ = i;
  int low = 0, high = count;
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (Items(mid)->StartPos < position)
      low = mid + 1;
    else
      high = mid;
  }
  return hint_ = low;
}

TFontObj* TFontList::GetFontObjAt(int32_t position, int& index) const {
  const int count = Count();
  index = FirstStartingAtOrAfter(position);
  if (index >= count) {
    index = count - 1;
  } else if (Items(index)->StartPos != position && index > 0) {
    --index;
  }
  return index >= 0 ? Items(index) : nullptr;
}

const TMyFont* TFontList::GetFontAt(int32_t position, int32_t& overhang) const {
  int index = 0;
  TFontObj* run = GetFontObjAt(position, index);
  overhang = run ? run->Overhang() : 0;
  return run ? run->Font.get() : nullptr;
}

int32_t TFontList::GetFontCountAt(int32_t position, int32_t length) const {
  int i = FirstStartingAtOrAfter(position);
  if (i < Count() && Items(i)->StartPos == position) ++i;
  return i >= Count() ? length - position : Items(i)->StartPos - position;
}

void TFontList::Compact(const std::vector<int32_t>& kept, TSectionList* document) {
  for (const auto& run : *this)
    run->StartPos =
        int32_t(std::lower_bound(kept.begin(), kept.end(), run->StartPos) - kept.begin());
  // A run that starts where the next one starts holds no characters any more.
  std::vector<std::unique_ptr<TFontObj>> runs, dropped;
  while (!Empty()) runs.push_back(Extract(Count() - 1));
  std::reverse(runs.begin(), runs.end());
  for (size_t i = 0; i < runs.size(); ++i) {
    TFontObj& run = *runs[i];
    if (i + 1 == runs.size() || run.StartPos != runs[i + 1]->StartPos) {
      Add(std::move(runs[i]));
      continue;
    }
    TFontObj& next = *runs[i + 1];
    if (run.FocusControl() && run.LinkID() == next.LinkID() && !next.FocusControl())
      run.HandFocusControlTo(next);
    dropped.push_back(std::move(runs[i]));
  }
  if (dropped.empty() || !document) return;
  // Out of the document's lists at once, not one search a run.
  std::unordered_set<const TLinkRun*> gone;
  for (const auto& run : dropped) {
    gone.insert(run.get());
    if (document->HoverLink == run.get()) document->HoverLink = nullptr;
    if (run->FocusControl()) document->TabIndexList.Remove(run->FocusControl());
    run->Section = nullptr;  // its destructor has nothing left to take out
  }
  std::erase_if(document->LinkRuns, [&gone](const TLinkRun* run) { return gone.count(run) != 0; });
}

}  // namespace html

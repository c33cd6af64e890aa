// The document root: defaults, layout and painting over the items, scrolling, the selection
// text and position look-ups, and clearing.
#include <algorithm>

#include "html/HtmlEngine.h"
#include "html/images/ImageCache.h"
#include "html/layout/sections/PageSections.h"

namespace html {

namespace {
constexpr unsigned kFirstTickMs = 50;
constexpr int32_t kSectionsPerReport = 50;
constexpr int32_t kParkedLeft = -4000;

// The control and every parent have their Visible flag set.
bool VisibleUpTheChain(const plat::TControl* control) {
  for (; control; control = control->Parent())
    if (!control->Visible()) return false;
  return true;
}
}  // namespace

TSectionList::TSectionList(plat::TWinControl* viewer, plat::TWinControl* paintPanel)
    : TCell(this), Viewer(viewer), PaintPanel(paintPanel), Targets(this), InlineElements(this) {
  OwnerKind = TOwnerKind::Page;  // the first block of the page keeps no negative top margin
}

TSectionList::~TSectionList() {
  Clear();
}

void TSectionList::ApplyDefaults(const std::string& fontName, const std::string& preformattedFont,
                                 int fontSize, TColor fontColor, TColor linkColor,
                                 TColor visitedLinkColor, TColor overLinkColor,
                                 TColor backgroundColor, bool overLinksActive, bool underlineLinks,
                                 uint8_t charSet, int marginHeight, int marginWidth) {
  StyleSheet.Initialize(fontName, preformattedFont, fontSize, fontColor, linkColor,
                        visitedLinkColor, overLinkColor, underlineLinks, charSet, marginHeight,
                        marginWidth);
  PreformattedFont = preformattedFont;
  LinkColor = linkColor;
  VisitedColor = visitedLinkColor;
  OverLinkColor = overLinkColor;
  HoverLinks = overLinksActive;
  SetBackColor(backgroundColor);
}

void TSectionList::SetBackColor(TColor color) {
  BackColor = color;
  if (BackColorChanged) BackColorChanged(this);
}

void TSectionList::SetBackImage(const std::string& url, const TBackgroundPos& pos) {
  BackImage = nullptr;
  BackAnimation = nullptr;
  BackURL = url;
  BackFetched = false;
  BackPosition = pos;
}

void TSectionList::UpdateTimer() {
  if (Timer) Timer->SetEnabled(!AnimatedImages.empty());
}

int32_t TSectionList::Layout(plat::TCanvas& canvas, int32_t y, int32_t width, int32_t availHeight,
                             int32_t blockHeight, int32_t& scrollWidth, int32_t& pos) {
  ++LayoutPass;
  TableDepth = 0;
  SecondPass = false;
  if (Timer) Timer->SetEnabled(false);
  for (const auto& form : Forms) form->SetSizes(canvas);
  if (plat::DeviceContext* dc = canvas.Handle()) dc->SetTextJustification(0, 0);
  InlineElements.Stale = true;

  int tabOrder = 0;
  for (const TTabOrderList::Entry& entry : TabIndexList.Entries()) {
    if (entry.Control) entry.Control->SetTabOrder(tabOrder++);
  }
  TabIndexList.Clear();

  const int32_t height =
      TCell::Layout(canvas, y, width, availHeight, blockHeight, scrollWidth, pos);
  SharedBoxes.Clear();

  for (TGIFImage* picture : AnimatedImages) {
    picture->SetAnimate(false);
    picture->SetAnimate(true);
  }
  if (!Timer) {
    Timer = std::make_unique<plat::TTimer>(nullptr);
    Timer->SetInterval(kFirstTickMs);
    Timer->OnTimer = [this](plat::TObject*) { AnimationTick(); };
  }
  UpdateTimer();
  ParkHiddenControls();
  if (AnchorOrder.empty()) {
    AddSectionsToList();
    AnchorOrder.shrink_to_fit();
  }
  return height;
}

bool TSectionList::ReportLayoutProgress(int32_t sectionNumber) {
  if (sectionNumber % kSectionsPerReport != 0 || SectionCount <= 0) return false;
  if (Progress)
    Progress(int(ProgressStart + int64_t(100 - ProgressStart) * sectionNumber / SectionCount));
  return true;
}

int32_t TSectionList::Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t clipWidth,
                           int32_t x, int32_t y, int32_t refX, int32_t refY) {
  TableDepth = 0;
  if (Timer) Timer->SetEnabled(false);
  for (TGIFImage* picture : AnimatedImages) picture->ShowIt = false;
  if (BackAnimation) BackAnimation->ShowIt = true;
  // The device context draws true colour only, so there is no palette to select.
  ImageDrawList.Clear();
  const int32_t result = TCell::Draw(canvas, clipRect, clipWidth, x, y, refX, refY);
  ImageDrawList.DrawImages(canvas);
  if (ScrollYChanged) {
    ParkHiddenControls();
    for (TPageWindowObj* panel : Panels) {
      plat::TWinControl* window = panel->WindowControl();
      if (!panel->ShowIt && window) window->Hide();
    }
    ScrollYChanged = false;
  }
  UpdateTimer();
  return result;
}

void TSectionList::SetScrollY(int32_t y) {
  ScrollY = y;
  ScrollYChanged = true;
  ClearShownFlags();
}

void TSectionList::ClearShownFlags() {
  for (const auto& form : Forms) form->ClearShownFlags();
  for (TPageWindowObj* panel : Panels) panel->ShowIt = false;
}

void TSectionList::ParkHiddenControls() {
  if (AllControls.empty() || !Viewer || !VisibleUpTheChain(Viewer)) return;
  for (TPageWindowObj* control : AllControls) {
    plat::TWinControl* window = control->WindowControl();
    if (control->ShowIt || !window) continue;
    window->Show();
    window->SetLeft(kParkedLeft);
  }
}

int32_t TSectionList::SelectionLength() {
  if (SelEnd <= SelStart) return 0;
  SelTextCount counter;
  SelBuffer = &counter;
  CopyToClipboard();
  SelBuffer = nullptr;
  return counter.Terminate();
}

int32_t TSectionList::SelectionToBuffer(std::span<char16_t> buffer) {
  // Without room for the terminating 0 nothing is written at all.
  if (buffer.empty()) return 0;
  if (SelEnd <= SelStart) {
    buffer[0] = 0;
    return 1;
  }
  SelTextBuf text(buffer);
  SelBuffer = &text;
  CopyToClipboard();
  SelBuffer = nullptr;
  return text.Terminate();
}

TSectionBase* TSectionList::ItemAtY(int32_t y, int32_t& topPos, int& index) {
  for (int i = int(AnchorOrder.size()) - 1; i >= 0; --i) {
    TSectionBase* item = AnchorOrder[size_t(i)];
    const int32_t itemY = item->GetYPosition();
    if (itemY <= y) {
      topPos = itemY;
      index = i;
      return item;
    }
  }
  return nullptr;
}

std::unique_ptr<TFreeList<plat::TStringList>> TSectionList::CollectFormData() {
  if (Forms.Empty()) return nullptr;
  auto data = std::make_unique<TFreeList<plat::TStringList>>();
  for (const auto& form : Forms) data->Add(form->GetFormSubmission());
  return data;
}

int32_t TSectionList::SourceToDocPosOrEnd(int32_t sourcePos) {
  const int32_t pos = FindDocPos(sourcePos, false);
  return pos >= 0 ? pos : PositionCount();
}

bool TSectionList::PositionToXYClipped(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) {
  const int32_t last = PositionCount() - 1;
  if (pos <= last) return CursorToXY(canvas, pos, x, y);
  if (!CursorToXY(canvas, last, x, y)) return false;
  x += 15;
  return true;
}

int32_t TSectionList::SourcePosToY(int32_t sourcePos) {
  int32_t x = 0, y = 0;
  return PositionToXYClipped(nullptr, SourceToDocPosOrEnd(sourcePos), y, x) ? y : 0;
}

void TSectionList::ClearControlLists() {
  Panels.clear();
  AllControls.clear();
}

void TSectionList::Clear() {
  Clearing = true;
  Targets.Clear();
  AnchorOrder.clear();
  InlineElements.Clear();
  BackImage = nullptr;
  BackMask = nullptr;
  BackAnimation = nullptr;
  if (BackFetched && !backKey_.empty() && ImageCache) ImageCache->DecUsage(backKey_);
  backKey_.clear();
  BackURL.clear();
  BackFetched = false;
  AnimatedImages.clear();
  Timer.reset();
  SelStart = SelEnd = 0;
  ImageMaps.Clear();
  DeferredImages.clear();
  LinkRuns.clear();
  HoverLink = nullptr;
  HoverImage = nullptr;
  Panels.clear();
  StyleSheet.Clear();
  SectionCount = 0;
  TabIndexList.Clear();
  TCell::Clear();
  SharedFonts.Clear();
  SharedStyles.Clear();
  SharedBoxes.Clear();
  Forms.Clear();
  AllControls.clear();
  Clearing = false;
}

}  // namespace html

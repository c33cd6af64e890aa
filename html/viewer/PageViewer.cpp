// The viewer's construction, properties and loading.
#include "html/viewer/PageViewer.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <utility>

#include "html/HtmlEngine.h"
#include "html/images/ImageCache.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace html {

namespace {

constexpr int kVertSmallChange = 16;
constexpr int kHorzSmallChange = 15;
constexpr unsigned kHoverIntervalMs = 200;
constexpr plat::TCursor kClassicIBeam = 2;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t first = 0, last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
  return s.substr(first, last - first);
}

}  // namespace

T32ScrollBar::T32ScrollBar(plat::TComponent* owner) : plat::TScrollBar(owner) {}

void T32ScrollBar::SetParams32(int32_t position, int32_t page, int32_t min, int32_t max) {
  if (position == Position() && page == PageSize() && min == Min() && max == Max()) return;
  SetPageSize(page);
  SetParams(position, min, max);
}

void T32ScrollBar::SetPosition32(int32_t position) {
  SetParams32(position, PageSize(), Min(), Max());
}

TPageViewer::TPageViewer(plat::TComponent* owner)
    : plat::TCustomControl(owner), measureBitmap_(std::make_unique<plat::TBitmap>()) {
  SetControlStyle(ControlStyle() | plat::csAcceptsControls);
  SetBounds(Left(), Top(), 150, 150);
  plat::TControl::SetCursor(plat::crIBeam);

  borderPanel_ = Make<plat::TPanel>();
  borderPanel_->SetBevelOuter(plat::bvNone);
  borderPanel_->SetBevelInner(plat::bvNone);
  borderPanel_->SetAlign(plat::alClient);
  borderPanel_->SetParent(this);

  paintPanel_ = Make<TPaintPanel>(this);
  paintPanel_->SetParent(this);
  paintPanel_->SetBounds(1, 1, Width() - 2, Height() - 2);
  paintPanel_->OnPaint = [this](plat::TCanvas& canvas) { PaintDocument(canvas); };
  paintPanel_->OnMouseDown = [this](plat::TObject*, plat::TMouseButton button,
                                    plat::TShiftState shift, int x,
                                    int y) { DocMouseDown(button, shift, x, y); };
  paintPanel_->OnMouseMove = [this](plat::TObject*, plat::TShiftState shift, int x, int y) {
    DocMouseMove(shift, x, y);
  };
  paintPanel_->OnMouseUp = [this](plat::TObject*, plat::TMouseButton button,
                                  plat::TShiftState shift, int x,
                                  int y) { DocMouseUp(button, shift, x, y); };

  vScrollBar_ = Make<T32ScrollBar>();
  vScrollBar_->SetKind(plat::sbVertical);
  vScrollBar_->SetSmallChange(kVertSmallChange);
  vScrollBar_->SetVisible(false);
  vScrollBar_->SetTabStop(false);
  vScrollBar_->SetParent(this);
  vScrollBarWidth_ = plat::TScrollBar::DefaultBarSize();
  vScrollBar_->SetWidth(vScrollBarWidth_);
  vScrollBar_->OnScroll = [this](plat::TObject*, plat::TScrollCode code, int& pos) {
    ScrollVertically(code, pos);
  };

  hScrollBar_ = Make<plat::TScrollBar>();
  hScrollBar_->SetKind(plat::sbHorizontal);
  hScrollBar_->SetSmallChange(kHorzSmallChange);
  hScrollBar_->SetVisible(false);
  hScrollBar_->SetTabStop(false);
  hScrollBar_->SetParent(this);
  hScrollBar_->SetHeight(vScrollBarWidth_);
  hScrollBar_->OnScroll = [this](plat::TObject*, plat::TScrollCode, int& pos) {
    ScrollHorizontally(pos);
  };

  document_ = std::make_unique<TSectionList>(this, paintPanel_);
  document_->BackColorChanged = [this](TSectionList*) { BackColorChanged(); };
  document_->ExpandFileName = [this](const std::string& name) {
    return ExpandRelativeFileName(name);
  };
  document_->ImagesOn = true;
  document_->LinkColor = defHotSpotColor_;
  document_->VisitedColor = defVisitedLinkColor_;
  document_->OverLinkColor = defOverLinkColor_;
  document_->PreformattedFont = defPreFontName_;
  SetDefBackground(defBackground_);
  SethtOptions(options_);

  document_->ObjectFocused = [this](TIDObject* object) { ObjectFocused(object); };
  document_->LinkFocused = [this](TLinkRun& link) { LinkFocused(link); };
  document_->LinkKeyDown = [this](TLinkRun& link, uint16_t& key, plat::TShiftState shift) {
    LinkKeyDown(link, key, shift);
  };
  document_->Progress = [this](int percent) { ParseProgress(percent); };

  hoverTimer_ = std::make_unique<plat::TTimer>(nullptr);
  hoverTimer_->SetEnabled(false);
  hoverTimer_->SetInterval(kHoverIntervalMs);
  hoverTimer_->OnTimer = [this](plat::TObject*) { HoverTick(); };
  creating_ = false;
}

TPageViewer::~TPageViewer() {
  hoverTimer_.reset();
  // Hosts told of freed panels may not load into a viewer that is going.
  processing_ = true;
  // The document gives its pictures back to the cache, so it goes first.
  document_.reset();
  imageCache_.reset();
}

void TPageViewer::SetProcessing(bool value) {
  if (processing_ == value) return;
  processing_ = value;
  if (!LoadingFromForm() && OnProcessing) OnProcessing(this, value);
}

void TPageViewer::SetDefBackground(TColor value) {
  if (processing_) return;
  defBackground_ = value;
  document_->BackColor = value;  // directly: the change notice would do the same again
  paintPanel_->SetColor(value);
  Invalidate();
}

void TPageViewer::SetDefPreFontName(const std::string& value) {
  if (EqualIgnoringCase(value, document_->PreformattedFont)) return;
  defPreFontName_ = value;
  document_->PreformattedFont = value;
}

void TPageViewer::SetDefHotSpotColor(TColor value) {
  defHotSpotColor_ = value;
  document_->LinkColor = value;
}

void TPageViewer::SetDefVisitedLinkColor(TColor value) {
  defVisitedLinkColor_ = value;
  document_->VisitedColor = value;
}

void TPageViewer::SetDefOverLinkColor(TColor value) {
  defOverLinkColor_ = value;
  document_->OverLinkColor = value;
}

void TPageViewer::SetScrollBars(plat::TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  if (LoadingFromForm() || processing_) return;
  SetProcessing(true);
  try {
    DoLayout();
  } catch (...) {
    SetProcessing(false);
    throw;
  }
  SetProcessing(false);
  Invalidate();
}

void TPageViewer::SetBorderStyle(THTMLBorderStyle value) {
  borderStyle_ = value;
  UpdateBorder();
}

void TPageViewer::SethtOptions(TPageViewerOptions value) {
  options_ = value;
  document_->HoverLinks = (value & HtOption(htOverLinksActive)) != 0;
  document_->ShowDummyCaret = (value & HtOption(htShowDummyCaret)) != 0;
}

void TPageViewer::SetImageCacheCount(int value) {
  value = std::clamp(value, 0, 20);
  if (value == imageCacheCount_) return;
  imageCacheCount_ = value;
  // Before the first load there is no cache to purge.
  if (imageCache_) imageCache_->PurgeOld(value);
}

void TPageViewer::SetServerRoot(const std::string& value) {
  serverRoot_ = Trimmed(value);
  if (!serverRoot_.empty() && serverRoot_.back() == '/') serverRoot_.pop_back();
}

void TPageViewer::SetPrintScale(double value) {
  printScale_ = std::clamp(value, 0.25, 4.0);
}

void TPageViewer::SetCursor(plat::TCursor value) {
  plat::TControl::SetCursor(value == kClassicIBeam ? plat::crIBeam : value);
}

void TPageViewer::SetViewImages(bool value) {
  if (value == document_->ImagesOn || processing_) return;
  SetProcessing(true);
  document_->ImagesOn = value;
  try {
    if (!document_->Empty()) {
      document_->FetchBackImage();
      const TEncodedPosition position = EncodedPosition();
      DoLayout();
      RestorePosition(position);
    }
  } catch (...) {
    SetProcessing(false);
    throw;
  }
  SetProcessing(false);
  Invalidate();
}

void TPageViewer::BackColorChanged() {
  paintPanel_->SetColor(TColor(uint32_t(document_->BackColor) | PaletteRelative()));
}

void TPageViewer::InitializeForLoad() {
  if (!document_->ImageCache) {
    if (!imageCache_) {
      imageCache_ = std::make_unique<TStringBitmapList>();
      imageCache_->PurgeOld(imageCacheCount_);
    }
    document_->ImageCache = imageCache_.get();
  }
  document_->Clear();
  if (imageCache_) imageCache_->AgeAndPurge();
  document_->ApplyDefaults(defFontName_, defPreFontName_, defFontSize_, defFontColor_,
                           defHotSpotColor_, defVisitedLinkColor_, defOverLinkColor_,
                           defBackground_, (options_ & HtOption(htOverLinksActive)) != 0,
                           (options_ & HtOption(htNoLinkUnderline)) == 0, charSet_, marginHeight_,
                           marginWidth_);
}

void TPageViewer::LoadFromBuffer(const char* buffer, int64_t size, const std::string& reference) {
  const std::string text = buffer && size > 0 ? std::string(buffer, size_t(size)) : std::string();
  LoadFromString(text, reference, 0);
  if (refreshDelay_ >= 1 && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshURL_);
}

namespace {

// The name part of a reference and the ID after its first "#".
std::pair<std::string, std::string> SplitReference(const std::string& reference) {
  const size_t hash = reference.find('#');
  if (hash == std::string::npos) return {reference, std::string()};
  return {reference.substr(0, hash), reference.substr(hash + 1)};
}

}  // namespace

// Whatever way a load ends, the viewer is left ready for the next one. While an error is on its
// way out, a handler failing here must not replace it.
struct TPageViewer::TEndOfLoad {
  TPageViewer* viewer;
  int pendingErrors = std::uncaught_exceptions();
  ~TEndOfLoad() noexcept(false) {
    viewer->busy_ = false;
    viewer->paintPanel_->Invalidate();
    try {
      if (viewer->OnProgress) viewer->OnProgress(viewer, plat::psEnding, 100);
      viewer->SetProcessing(false);
    } catch (...) {
      viewer->processing_ = false;
      if (std::uncaught_exceptions() == pendingErrors) throw;
    }
  }
};

void TPageViewer::LoadFromString(const std::string& text, const std::string& reference,
                                 int fileType) {
  if (processing_) return;
  SetProcessing(true);
  refreshDelay_ = 0;
  const auto [name, destination] = SplitReference(reference);
  TEndOfLoad endOfLoad{this};
  busy_ = true;
  documentSource_ = text;
  BuildPage(name, destination, fileType != 0 ? 1 : 0, true);
}

void TPageViewer::LoadFromFile(const std::string& fileName, int fileType) {
  if (processing_) return;
  const auto [name, destination] = SplitReference(fileName);
  {
    const plat::TCursor savedCursor = plat::Screen().Cursor();
    plat::Screen().SetCursor(plat::crHourGlass);
    struct RestoreCursor {
      plat::TCursor cursor;
      ~RestoreCursor() { plat::Screen().SetCursor(cursor); }
    } restoreCursor{savedCursor};
    refreshDelay_ = 0;
    SetProcessing(true);
    TEndOfLoad endOfLoad{this};
    if (!plat::FileExists(name)) throw plat::EInOutError("Can't locate file: " + name);
    // Read before anything is cleared, so that an unreadable file leaves the page shown.
    documentSource_ = fileType == 2 ? std::string() : plat::ReadFileBytes(name, kMaxSourceBytes);
    busy_ = true;
    BuildPage(name, destination, fileType, false);
  }
  // Only now may the handler load the next page.
  if (refreshDelay_ >= 1 && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshURL_);
}

void TPageViewer::BuildPage(const std::string& name, const std::string& destination, int fileType,
                            bool fromString) {
  const std::string previousFile = currentFile_;
  // An empty name stays empty, so that every load of a bare string starts at the top.
  currentFile_ = name.empty() ? std::string() : plat::ExpandFileName(name);
  currentFileType_ = uint8_t(fileType);
  document_->ProgressStart = 75;
  if (OnProgress) OnProgress(this, plat::psStarting, 0);
  InitializeForLoad();
  caretPos_ = 0;
  selectionAnchor_ = -1;
  // A button pressed on the old page is not a click on the new one.
  leftButtonDown_ = false;
  if (OnSoundRequest && (fromString || fileType == 0)) OnSoundRequest(this, "", 0, true);
  if (OnParseBegin) OnParseBegin(this, documentSource_);
  ParseDocument(fileType);
  if (OnParseEnd) OnParseEnd(this);
  document_->FetchBackImage();
  DoLayout();
  MarkVisitedLinks();

  const bool positioned = PositionTo(destination);
  const bool changed = currentFile_ != previousFile;
  if (!positioned && (changed || (fromString && currentFile_.empty()))) {
    ScrollTo(0);
    SetHorzPosition(0);
  }
}

void TPageViewer::HandleMeta(const std::string& httpEq, const std::string& name,
                             const std::string& content) {
  if (OnMeta) OnMeta(this, httpEq, name, content);
  if (!OnMetaRefresh || !EqualIgnoringCase(httpEq, "refresh")) return;
  const std::string delayText = Trimmed(content.substr(0, content.find(';')));
  int delay = -1;
  if (!delayText.empty() && delayText.size() <= 9 &&
      std::all_of(delayText.begin(), delayText.end(), [](char c) { return c >= '0' && c <= '9'; }))
    delay = std::stoi(delayText);
  if (delay < 0) return;
  const size_t url = Lower(content).find("url=");
  refreshURL_ = url == std::string::npos ? std::string() : content.substr(url + 4);
  refreshDelay_ = std::max(delay, 1);
}

void TPageViewer::ParseProgress(int percent) {
  if (OnProgress) OnProgress(this, plat::psRunning, percent);
}

void TPageViewer::Clear() {
  if (processing_) return;
  hoverTimer_->SetEnabled(false);
  autoScrollPending_ = false;
  {
    // Hosts told of freed panels may not load a page into the one being cleared.
    processing_ = true;
    struct Done {
      bool& flag;
      ~Done() { flag = false; }
    } done{processing_};
    document_->Clear();
  }
  if (imageCache_) imageCache_->Clear();
  document_->ApplyDefaults(defFontName_, defPreFontName_, defFontSize_, defFontColor_,
                           defHotSpotColor_, defVisitedLinkColor_, defOverLinkColor_,
                           defBackground_, (options_ & HtOption(htOverLinksActive)) != 0,
                           (options_ & HtOption(htNoLinkUnderline)) == 0, charSet_, marginHeight_,
                           marginWidth_);
  base_.clear();
  baseTarget_.clear();
  documentTitle_.clear();
  vScrollBar_->SetParams32(0, vScrollBar_->PageSize(), 0, 0);
  vScrollBar_->SetVisible(false);
  vScrollBar_->SetHeight(paintPanel_->Height());
  hScrollBar_->SetVisible(false);
  caretPos_ = 0;
  selectionAnchor_ = -1;
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
  Invalidate();
}

void TPageViewer::WndProc(plat::TMessage& message) {
  switch (message.Msg) {
    case plat::WM_GETDLGCODE:
      message.Result = 1;  // the arrow keys are the viewer's
      return;
    case kFormSubmitMessage:
      DeliverFormSubmit();
      return;
    case kAutoScrollMessage:
      AutoScroll();
      return;
    case kFollowLinkMessage:
      FollowLink();
      return;
    default:
      plat::TCustomControl::WndProc(message);
  }
}

void TPageViewer::DoEnter() {
  plat::TCustomControl::DoEnter();
  UpdateBorder();
}

void TPageViewer::DoExit() {
  plat::TCustomControl::DoExit();
  UpdateBorder();
}

void TPageViewer::UpdateBorder() {
  const bool single = borderStyle_ == htSingle || (borderStyle_ == htFocused && Focused()) ||
                      (ComponentState() & plat::csDesigning) != 0;
  borderPanel_->plat::TWinControl::SetBorderStyle(single ? plat::bsSingle : plat::bsNone);
}

}  // namespace html

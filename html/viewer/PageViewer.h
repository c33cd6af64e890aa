// Folder html/viewer: the viewer control, its interaction, the paint panel, host panels and the
// form controls of pages.
//
// The HTML viewer control: a window that owns a document, lays it out for its width with the
// scroll bars it needs, and paints it through a double-buffered panel.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "html/layout/sections/PageSections.h"
#include "html/parse/DocumentBuilder.h"
#include "platform/pictures/Picture.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Controls.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"

namespace html {

class TPageViewer;
class TFormControlObj;

// A page control's window saw the mouse move (x, y relative to the window): the viewer shows
// the control's title, or the link under it, and passes the move on to its OnMouseMove.
void FormControlMouseMove(TFormControlObj& control, const std::string& title,
                          plat::TShiftState shift, int x, int y);

enum THTMLBorderStyle : uint8_t { htFocused, htNone, htSingle };

enum htOptionEnum : uint8_t {
  htOverLinksActive,
  htNoLinkUnderline,
  htPrintTableBackground,
  htPrintBackground,
  htPrintMonochromeBlack,
  htShowDummyCaret,
  htShowVScroll,
  htNoWheelMouse,
  htNoLinkHilite,
};
using TPageViewerOptions = uint16_t;  // bit mask of 1 << htOptionEnum
constexpr TPageViewerOptions HtOption(htOptionEnum option) {
  return TPageViewerOptions(1u << option);
}

inline constexpr uint8_t DEFAULT_CHARSET = 1;
inline constexpr int32_t kMaxScrollWidth = 6000;
// Documents at least this long are laid out once, at the width left beside a vertical bar.
inline constexpr int64_t kLongDocument = 10000;
// Page files larger than this are refused.
inline constexpr int64_t kMaxSourceBytes = int64_t(1) << 30;

using TSrcEvent = std::function<void(plat::TObject* sender, const std::string& src)>;
using THotSpotClickEvent =
    std::function<void(plat::TObject* sender, const std::string& src, bool& handled)>;
using TViewerProgressEvent =
    std::function<void(plat::TObject* sender, plat::TProgressStage stage, int percentDone)>;
using TProcessingEvent = std::function<void(plat::TObject* sender, bool processingOn)>;
using TParseBeginEvent = std::function<void(plat::TObject* sender, std::string& source)>;
using TImageClickEvent =
    std::function<void(plat::TObject* sender, plat::TObject* obj, plat::TMouseButton button,
                       plat::TShiftState shift, int x, int y)>;
using TImageOverEvent = std::function<void(plat::TObject* sender, plat::TObject* obj,
                                           plat::TShiftState shift, int x, int y)>;

// What the viewer knows about a right click; it lives for the event's call.
class TImageObj;
struct TRightClickParameters {
  std::string URL, Target;
  TImageObj* Image = nullptr;
  int ImageX = 0, ImageY = 0;
  std::u16string ClickWord;
};
using TRightClickEvent =
    std::function<void(plat::TObject* sender, TRightClickParameters& parameters)>;
using TMetaRefreshEvent =
    std::function<void(plat::TObject* sender, int delay, const std::string& url)>;
// A printed page's header or footer drawn by the host on the page's canvas (w x h).
using TPrintHeaderEvent = std::function<void(plat::TObject* sender, plat::TCanvas* canvas,
                                             int numPage, int w, int h, bool& stopPrinting)>;
// A printed page's header or footer given as a page of its own in hfViewer, between xl and xr.
using TPrintHTMLHeaderEvent =
    std::function<void(plat::TObject* sender, TPageViewer* hfViewer, int numPage, bool lastPage,
                       int& xl, int& xr, bool& stopPrinting)>;
// A host panel of the page asked for its printed picture.
using TPanelPrintEvent =
    std::function<void(plat::TObject* sender, ThvPanel* panel, const plat::TBitmap* bitmap)>;

// A place in the page that survives a new layout: the item of the document's anchor order at
// or above the view's top and the distance below it, or an absolute y when there is no item.
struct TEncodedPosition {
  int32_t Item = -1;
  int32_t Offset = 0;
  bool operator==(const TEncodedPosition&) const = default;
};

// What the history keeps of a page besides its name and title.
struct PositionObj {
  TEncodedPosition Pos;
  uint8_t FileType = 0;
  std::unique_ptr<TFreeList<plat::TStringList>> FormData;
};

// The vertical bar; it keeps its four values and sets them in one step.
class T32ScrollBar : public plat::TScrollBar {
 public:
  explicit T32ScrollBar(plat::TComponent* owner);
  // Does nothing when all four equal the stored values.
  void SetParams32(int32_t position, int32_t page, int32_t min, int32_t max);
  void SetPosition32(int32_t position);
};

// The drawing surface: each paint builds the clip area in a memory bitmap (background, then the
// document) and copies it to the window.
class TPaintPanel : public plat::TCustomControl {
 public:
  TPaintPanel(plat::TComponent* owner, TPageViewer* viewer);

  // Draws the document on the memory canvas; bound to the viewer.
  std::function<void(plat::TCanvas& canvas)> OnPaint;
  bool Painting() const { return memCanvas_ != nullptr; }

 protected:
  void Paint() override;
  // A left double click and the wheel belong to the viewer.
  void WndProc(plat::TMessage& message) override;
  bool DoMouseWheel(plat::TShiftState shift, int wheelDelta, plat::TPoint mousePos) override;
  // While the viewer has drag events, they answer for the surface with the viewer as sender.
  void DragOver(plat::TObject* source, int x, int y, plat::TDragState state, bool& accept) override;
  void DragDrop(plat::TObject* source, int x, int y) override;

 private:
  void DrawBackground(plat::TCanvas& canvas, const plat::TRect& area);
  TPageViewer* viewer_;
  plat::TCanvas* memCanvas_ = nullptr;  // only while a paint runs
};

class TPageViewer : public plat::TCustomControl {
 public:
  explicit TPageViewer(plat::TComponent* owner);
  ~TPageViewer() override;

  // --- Loading
  void LoadFromBuffer(const char* buffer, int64_t size, const std::string& reference);
  // fileType 0: HTML, otherwise plain text.
  void LoadFromString(const std::string& text, const std::string& reference, int fileType = 0);
  // fileType 0: HTML, 1: plain text, 2: a picture shown alone. A missing file raises
  // EInOutError.
  virtual void LoadFromFile(const std::string& fileName, int fileType = 0);
  // A link or file name as a full local path: relative names against the BASE reference or the
  // current file, names from the root under ServerRoot; other protocols as given.
  virtual std::string ExpandRelativeFileName(const std::string& name) const;
  virtual void Clear();

  // --- Defaults (font name, size and colour act at the next load)
  TColor DefBackground() const { return defBackground_; }
  void SetDefBackground(TColor value);
  const std::string& DefFontName() const { return defFontName_; }
  void SetDefFontName(const std::string& value) { defFontName_ = value; }
  const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefPreFontName(const std::string& value);
  int DefFontSize() const { return defFontSize_; }
  void SetDefFontSize(int value) { defFontSize_ = value; }
  TColor DefFontColor() const { return defFontColor_; }
  void SetDefFontColor(TColor value) { defFontColor_ = value; }
  TColor DefHotSpotColor() const { return defHotSpotColor_; }
  void SetDefHotSpotColor(TColor value);
  TColor DefVisitedLinkColor() const { return defVisitedLinkColor_; }
  void SetDefVisitedLinkColor(TColor value);
  TColor DefOverLinkColor() const { return defOverLinkColor_; }
  void SetDefOverLinkColor(TColor value);
  uint8_t CharSet() const { return charSet_; }
  void SetCharSet(uint8_t value) { charSet_ = value; }
  int MarginHeight() const { return marginHeight_; }
  void SetMarginHeight(int value) { marginHeight_ = value; }
  int MarginWidth() const { return marginWidth_; }
  void SetMarginWidth(int value) { marginWidth_ = value; }

  // --- Appearance and behaviour
  plat::TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(plat::TScrollStyle value);
  THTMLBorderStyle BorderStyle() const { return borderStyle_; }
  using plat::TWinControl::SetBorderStyle;
  void SetBorderStyle(THTMLBorderStyle value);
  TPageViewerOptions htOptions() const { return options_; }
  void SethtOptions(TPageViewerOptions value);
  bool ViewImages() const { return document_->ImagesOn; }
  void SetViewImages(bool value);
  int ImageCacheCount() const { return imageCacheCount_; }
  void SetImageCacheCount(int value);
  bool NoSelect() const { return noSelect_; }
  // Turning selection off removes the selection.
  void SetNoSelect(bool value);
  int HistoryMaxCount() const { return historyMaxCount_; }
  // Lowering the count clears the history.
  void SetHistoryMaxCount(int value);
  int VisitedMaxCount() const { return visitedMaxCount_; }
  // Negative counts are 0; 0 forgets every visited link.
  void SetVisitedMaxCount(int value);
  const std::string& ServerRoot() const { return serverRoot_; }
  void SetServerRoot(const std::string& value);
  double PrintMarginLeft() const { return printMargins_[0]; }
  void SetPrintMarginLeft(double value) { printMargins_[0] = value; }
  double PrintMarginRight() const { return printMargins_[1]; }
  void SetPrintMarginRight(double value) { printMargins_[1] = value; }
  double PrintMarginTop() const { return printMargins_[2]; }
  void SetPrintMarginTop(double value) { printMargins_[2] = value; }
  double PrintMarginBottom() const { return printMargins_[3]; }
  void SetPrintMarginBottom(double value) { printMargins_[3] = value; }
  double PrintScale() const { return printScale_; }
  void SetPrintScale(double value);
  plat::TCursor Cursor() const { return plat::TControl::Cursor(); }
  // The classic value 2 stands for the text cursor.
  void SetCursor(plat::TCursor value);

  // --- State
  bool Processing() const { return processing_; }
  bool Busy() const { return busy_; }
  const std::string& DocumentTitle() const { return documentTitle_; }  // UTF-8
  const std::string& Base() const { return base_; }
  const std::string& BaseTarget() const { return baseTarget_; }
  const std::string& CurrentFile() const { return currentFile_; }
  const std::string& DocumentSource() const { return documentSource_; }
  const std::string& TitleAttr() const { return HoverTitle; }
  int32_t ScrollWidth() const { return scrollWidth_; }
  int32_t ScrollHeight() const { return scrollHeight_; }
  int32_t VScrollBarWidth() const { return vScrollBarWidth_; }
  // The width the document was last laid out at.
  int32_t LayoutWidth() const { return layoutWidth_; }
  int32_t Position() const { return vScrollBar_->Position(); }
  void ScrollTo(int32_t y);
  void SetHorzPosition(int32_t x);

  TSectionList& Document() { return *document_; }
  TPaintPanel& PaintPanel() { return *paintPanel_; }
  T32ScrollBar& VScrollBar() { return *vScrollBar_; }
  plat::TScrollBar& HScrollBar() { return *hScrollBar_; }
  plat::TPanel& BorderPanel() { return *borderPanel_; }
  plat::TStringList& History() { return history_; }
  plat::TStringList& TitleHistory() { return titleHistory_; }
  plat::TStringList& Visited() { return visited_; }
  int HistoryIndex() const { return historyIndex_; }
  const TFreeList<PositionObj>& PositionHistory() const { return positionHistory_; }

  // --- Links, selection and history
  // What lies under a point of the paint panel (THitFlags; the title with hlTitle).
  int GetLinkAt(int x, int y, THitLink& hit);
  // Scrolls to the element with the ID (a leading "#" is dropped); false when there is none.
  bool PositionTo(const std::string& destination);
  // The link under the mouse or last followed, and what the viewer took from it.
  const std::string& LinkURL() const { return url_; }
  const std::string& LinkTarget() const { return target_; }
  const plat::TStringList& LinkAttributes() const { return linkAttributes_; }
  const std::u16string& LinkText() const { return linkText_; }
  plat::TPoint LinkStart() const { return linkStart_; }
  // The selected text; empty without a selection.
  std::u16string SelText();
  int32_t CaretPos() const { return caretPos_; }
  // The view's place, kept across a new layout and in the history.
  TEncodedPosition EncodedPosition();
  void RestorePosition(const TEncodedPosition& position);
  // Puts the page that was shown (name, title, type, form values, place) into the history as
  // the current page becomes its first entry.
  void BumpHistory(const std::string& oldFile, const std::string& oldTitle, uint8_t oldType,
                   std::unique_ptr<TFreeList<plat::TStringList>> oldFormData,
                   const TEncodedPosition& oldPos);
  void ClearHistory();
  // Records a visited link (a full name, "#" and an ID allowed) and marks its runs.
  void AddVisitedLink(const std::string& name);
  // Follows the link in LinkURL; a page that cannot be found raises the load error.
  void FollowLink();
  bool Panning() const { return panning_; }
  bool AutoScrolling() const { return autoScrollPending_; }

  // Draws the document on the paint panel's memory canvas.
  virtual void PaintDocument(plat::TCanvas& canvas);
  // The paint panel's mouse events, in panel coordinates; they reach the viewer's own events.
  virtual void DocMouseDown(plat::TMouseButton button, plat::TShiftState shift, int x, int y);
  virtual void DocMouseMove(plat::TShiftState shift, int x, int y);
  virtual void DocMouseUp(plat::TMouseButton button, plat::TShiftState shift, int x, int y);
  // A left double click on the paint panel.
  virtual void DocMouseDouble(plat::TShiftState shift, int x, int y);
  // Extends the selection from its anchor to a point of the paint panel.
  virtual void ExtendSelection(int x, int y);
  // The parse and the layout report progress through this.
  void ParseProgress(int percent);
  // A META element of the page; the parse calls it.
  void HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content);
  // Lays the document out again for the current size.
  void Relayout();
  bool FixedBackground() const { return fixedBackground_; }

  std::string HoverTitle;  // TITLE text under the mouse

  // Events the document calls: set, they reach the page shown at once.
  const TGetBitmapEvent& OnBitmapRequest() const { return document_->BitmapRequest; }
  void SetOnBitmapRequest(TGetBitmapEvent handler) {
    document_->BitmapRequest = std::move(handler);
  }
  const TGetImageEvent& OnImageRequest() const { return document_->ImageRequest; }
  void SetOnImageRequest(TGetImageEvent handler) { document_->ImageRequest = std::move(handler); }
  const TScriptEvent& OnScript() const { return document_->ScriptEvent; }
  void SetOnScript(TScriptEvent handler) { document_->ScriptEvent = std::move(handler); }
  const TObjectClickEvent& OnObjectClick() const { return document_->ObjectClick; }
  void SetOnObjectClick(TObjectClickEvent handler) { document_->ObjectClick = std::move(handler); }
  const TObjectEvent& OnObjectFocus() const { return document_->ObjectFocus; }
  void SetOnObjectFocus(TObjectEvent handler) { document_->ObjectFocus = std::move(handler); }
  const TObjectEvent& OnObjectBlur() const { return document_->ObjectBlur; }
  void SetOnObjectBlur(TObjectEvent handler) { document_->ObjectBlur = std::move(handler); }
  const TObjectEvent& OnObjectChange() const { return document_->ObjectChange; }
  void SetOnObjectChange(TObjectEvent handler) { document_->ObjectChange = std::move(handler); }
  const TFileBrowseEvent& OnFileBrowse() const { return document_->FileBrowse; }
  void SetOnFileBrowse(TFileBrowseEvent handler) { document_->FileBrowse = std::move(handler); }
  const TPanelCreateEvent& OnPanelCreate() const { return document_->PanelCreate; }
  void SetOnPanelCreate(TPanelCreateEvent handler) { document_->PanelCreate = std::move(handler); }
  const TPanelDestroyEvent& OnPanelDestroy() const { return document_->PanelDestroy; }
  void SetOnPanelDestroy(TPanelDestroyEvent handler) {
    document_->PanelDestroy = std::move(handler);
  }
  const TObjectTagEvent& OnObjectTag() const { return document_->ObjectTag; }
  void SetOnObjectTag(TObjectTagEvent handler) { document_->ObjectTag = std::move(handler); }
  const TStreamRequestEvent& OnhtStreamRequest() const { return document_->StreamRequest; }
  void SetOnhtStreamRequest(TStreamRequestEvent handler) {
    document_->StreamRequest = std::move(handler);
  }
  // The document submits its forms only while this is set.
  const TFormSubmitEvent& OnFormSubmit() const { return onFormSubmit_; }
  void SetOnFormSubmit(TFormSubmitEvent handler);

  THotSpotClickEvent OnHotSpotClick;
  TSrcEvent OnHotSpotCovered;
  plat::TNotifyEvent OnHistoryChange;
  TViewerProgressEvent OnProgress;
  TProcessingEvent OnProcessing;
  TParseBeginEvent OnParseBegin;
  plat::TNotifyEvent OnParseEnd;
  TSoundType OnSoundRequest;
  TIncludeType OnInclude;
  TLinkType OnLink;
  TMetaType OnMeta;
  TMetaRefreshEvent OnMetaRefresh;
  TImageClickEvent OnImageClick;
  TImageOverEvent OnImageOver;
  TRightClickEvent OnRightClick;
  plat::TMouseEvent OnMouseDouble;
  // Kept for a host that prints pages; the viewer itself prints nothing.
  TPrintHeaderEvent OnPrintHeader, OnPrintFooter;
  TPrintHTMLHeaderEvent OnPrintHTMLHeader, OnPrintHTMLFooter;
  TPanelPrintEvent OnPanelPrint;

 protected:
  void WndProc(plat::TMessage& message) override;
  void Resize() override;
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(uint16_t& key, plat::TShiftState shift) override;
  bool DoMouseWheel(plat::TShiftState shift, int wheelDelta, plat::TPoint mousePos) override;

 private:
  friend class TPaintPanel;
  friend void FormControlMouseMove(TFormControlObj&, const std::string&, plat::TShiftState, int,
                                   int);
  struct TPendingSubmit {
    std::string Action, Target, EncType, Method;
    std::unique_ptr<plat::TStringList> Results;
  };
  // Messages the viewer posts to itself, so that the work runs after the current event.
  static constexpr uint32_t kFormSubmitMessage = plat::WM_USER + 100;
  static constexpr uint32_t kAutoScrollMessage = plat::WM_USER + 102;
  static constexpr uint32_t kFollowLinkMessage = plat::WM_USER + 103;
  struct TEndOfLoad;
  void SetProcessing(bool value);
  // The common part of loads once the source is in documentSource_.
  void BuildPage(const std::string& name, const std::string& destination, int fileType,
                 bool fromString);
  // Empties the document and hands it the defaults.
  void InitializeForLoad();
  // Runs the parse of documentSource_ into the document.
  void ParseDocument(int fileType);
  // The up-to-three layout passes, then the bar arrangement.
  void DoLayout();
  void LayoutAt(int32_t width);
  void ArrangeScrollBars();
  void UpdateBorder();
  void ScrollVertically(plat::TScrollCode code, int& pos);
  void ScrollHorizontally(int& pos);
  void MovedSideways();
  int32_t MaxVertPosition() const;
  int32_t MaxHorzPosition() const;
  void BackColorChanged();
  // Takes URL, target, attributes and text from a link found under the mouse.
  void TakeLink(const TUrlTarget& link);
  void ComputeLinkText(int32_t start, int32_t last);
  void HoverTick();
  bool PointerOnPanel() const;
  void DropLinkUnderMouse();
  void RightClick(plat::TShiftState shift, int x, int y);
  // The word at a point of the panel: its text, the position before its first character and
  // the one after its last. Moves the caret there; false off text or off a word.
  bool WordAt(int x, int y, std::u16string& word, int32_t& start, int32_t& end);
  void FocusLinkWindow(int32_t linkID);
  void EndPanning();
  // Runs while the pointer is beyond the panel's edge with a selection going, or away from
  // where panning began, scrolling a step at a time.
  void AutoScroll();
  bool AutoScrollWanted(plat::TPoint pointer) const;
  void AutoScrollStep(plat::TPoint pointer);
  plat::TPoint PointerInPanel() const;
  void ScrollBy(int32_t delta);
  void NavigateToFile(const std::string& name, int fileType);
  // A link's URL as the full name that the visited list holds.
  std::string VisitedName(const std::string& url) const;
  void MarkVisitedLinks();
  void ObjectFocused(TIDObject* object);
  void LinkFocused(TLinkRun& link);
  void LinkKeyDown(TLinkRun& link, uint16_t& key, plat::TShiftState shift);
  void SubmitForm(const std::string& action, const std::string& target, const std::string& encType,
                  const std::string& method, std::unique_ptr<plat::TStringList> results);
  void DeliverFormSubmit();
  bool LoadingFromForm() const { return (ComponentState() & plat::csLoading) != 0; }

  bool creating_ = true;
  bool busy_ = false;
  bool processing_ = false;
  std::string documentTitle_;
  std::string base_, baseTarget_;
  std::string currentFile_;
  uint8_t currentFileType_ = 0;
  std::string refreshURL_;
  int refreshDelay_ = 0;
  plat::TStringList history_, titleHistory_, visited_;
  int historyIndex_ = 0;
  TColor defBackground_ = plat::clBtnFace;
  std::string defFontName_ = "Times New Roman";
  std::string defPreFontName_ = "Courier New";
  int defFontSize_ = 12;
  TColor defFontColor_ = plat::clBtnText;
  TColor defHotSpotColor_ = plat::clBlue;
  TColor defVisitedLinkColor_ = plat::clPurple;
  TColor defOverLinkColor_ = plat::clBlue;
  int visitedMaxCount_ = 50;
  int historyMaxCount_ = 0;
  int imageCacheCount_ = 5;
  bool noSelect_ = false;
  plat::TScrollStyle scrollBars_ = plat::ssBoth;
  THTMLBorderStyle borderStyle_ = htFocused;
  int32_t caretPos_ = 0;
  TPageViewerOptions options_ = HtOption(htPrintTableBackground) | HtOption(htPrintMonochromeBlack);
  int32_t vScrollBarWidth_ = 0;
  int32_t scrollWidth_ = 0;
  int32_t scrollHeight_ = 0;
  int32_t layoutWidth_ = 0;
  uint8_t charSet_ = DEFAULT_CHARSET;
  int marginHeight_ = 5;
  int marginWidth_ = 10;
  std::string serverRoot_;
  double printMargins_[4] = {2.0, 2.0, 2.0, 2.0};
  double printScale_ = 1.0;
  bool fixedBackground_ = false;
  int32_t selectionAnchor_ = -1;
  std::string documentSource_;
  // Link under the mouse or last clicked.
  std::string url_, target_;
  plat::TStringList linkAttributes_;
  std::u16string linkText_;
  plat::TPoint linkStart_{};
  TFreeList<PositionObj> positionHistory_;
  // Mouse state.
  bool autoScrollPending_ = false;
  bool leftButtonDown_ = false;
  bool panning_ = false;
  int panStartY_ = 0;
  int64_t wheelRest_ = 0;  // wheel travel short of a whole pixel, in 120ths
  bool mouseDownSelecting_ = false;
  bool linkFollowed_ = false;
  bool settingActiveControl_ = false;
  TFormSubmitEvent onFormSubmit_;
  std::deque<TPendingSubmit> pendingSubmits_;
  // Expires with the viewer; the scrolling loop checks it after letting other events run.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::unique_ptr<TStringBitmapList> imageCache_;  // made at the first load
  // Measures while laying out: the panel's own canvas exists only while it paints.
  std::unique_ptr<plat::TBitmap> measureBitmap_;
  plat::TPanel* borderPanel_;
  TPaintPanel* paintPanel_;
  T32ScrollBar* vScrollBar_;
  plat::TScrollBar* hScrollBar_;
  std::unique_ptr<plat::TTimer> hoverTimer_;
  // Last: it refers to the panels and the cache.
  std::unique_ptr<TSectionList> document_;
};

// Makes the viewer known to the stored-layout reader under "TPageViewer".
void RegisterPageViewerClass();

}  // namespace html

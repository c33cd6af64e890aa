// Folder html/layout: the document model - sections, text sections, font runs, blocks, tables,
// cells and borders - laid out, drawn and hit tested. `sections` holds the frame and what all
// items share (indents, borders, the objects of the document-wide lists), `blocks`, `tables` and
// `text` the items of the flow.
//
// Folder html/layout/sections: the document model's frame: the base of every item in the document
// flow, the cells that stack items one below the other, and the document root with its
// document-wide lists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "html/base/IDNames.h"
#include "html/base/PageUtils.h"
#include "html/base/SafeMath.h"
#include "html/base/ValueShare.h"
#include "html/css/CssStyles.h"
#include "html/images/GifAnimation.h"
#include "html/images/ImageMaps.h"
#include "html/layout/sections/DocumentObjects.h"
#include "html/layout/sections/IndentManager.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Controls.h"

namespace html {

class TSectionList;
class TCellBasic;
class TBlock;
struct TBlockStyle;
class TFloatingObj;
class TFormControlObj;
class TFontObj;
class TStringBitmapList;

// What lies under a point: flags hlLink, hlControl and hlTitle say which fields were filled.
enum THitFlags : int { hlLink = 1, hlControl = 2, hlTitle = 4 };
struct THitLink {
  std::unique_ptr<TUrlTarget> UrlTarget;  // a copy for the caller
  TFormControlObj* FormControl = nullptr;
  int32_t ControlX = 0, ControlY = 0;  // the point inside an image-type input
  std::string Title;
};

// Where a point puts the caret.
struct TCursorHit {
  bool InText = false;  // the point lies on the text itself
  int32_t CaretHeight = 0;
  int32_t CaretY = 0;
  int32_t CaretX = 0;
};

// An item of the document flow: a text section, a block, a table, a rule, a page marker. Y
// values are document coordinates; clip rectangles are window coordinates.
class TSectionBase : public TIDObject {
 public:
  // Never laid out items sort below everything.
  static constexpr int32_t kNotLaidOut = 999999999;

  explicit TSectionBase(TSectionList* document);
  // A copy of source's layout values for another document.
  TSectionBase(TSectionList* document, const TSectionBase& source);
  TSectionBase(const TSectionBase&) = delete;
  TSectionBase& operator=(const TSectionBase&) = delete;

  void SetDocument(TSectionList* document) { Document = document; }

  // The y to scroll to for this item.
  int32_t GetYPosition() override { return TopY; }
  virtual std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const;
  // Appends the selected part to the document's SelBuffer.
  virtual void CopySelectedText() {}
  // Places the item at (x, y) within availWidth and returns the height it takes in the flow; pos
  // is the document position of its first character and comes back past its last.
  virtual int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                         int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                         IndentManager& indents, int32_t& maxWidth, int32_t& pos);
  // Paints what meets clipRect and returns the y (document) below the item.
  virtual int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                       int32_t x, int32_t refX, int32_t refY);
  // THitFlags of what was found under (x, y); 0 for nothing.
  virtual int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit);
  virtual TFloatingObj* FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY);
  // The document position at (x, y), or -1.
  virtual int32_t FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit);
  virtual int32_t FindStringForward(std::u16string_view text, int32_t from, bool matchCase);
  virtual int32_t FindStringBackward(std::u16string_view text, int32_t from, bool matchCase);
  virtual int32_t DocToSourcePos(int32_t pos);
  // backwards: a source position between two items takes the earlier one.
  virtual int32_t SourceToDocPos(int32_t sourcePos, bool backwards);
  // The caret point of a position (canvas may be null).
  virtual bool PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x);
  // The character at a position and the item that holds it.
  virtual bool GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item);
  virtual void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth);
  // Registers the item (blocks: the items of their cells) for positioning by y.
  virtual void AddToPositionList();

  // --- What a cell asks when an item is added or its margins are settled. A text section
  // answers the first three; a block the last two.
  // Finishes collected text.
  virtual void ProcessText(int tagIndex);
  // An empty text section that is not preformatted: the cell drops it.
  virtual bool IsEmptyText() const { return false; }
  // Takes the item's links out of the document's lists before it is dropped.
  virtual void RemoveLinks() {}
  virtual bool IsAbsolutelyPositioned() const { return false; }
  // Not a flowing block: nothing. Else whether the block's default bottom margin was cleared.
  virtual std::optional<bool> ClearOwnBottomMargin() { return std::nullopt; }

  TBlock* OwnerBlock = nullptr;
  TSectionList* Document;
  int32_t FlowHeight = 0;
  int32_t PaintHeight = 0;
  int32_t FirstPos = 0;
  int32_t PosCount = 0;
  int32_t StackOrder = 0;
  int32_t TopY = kNotLaidOut;
  int32_t BottomY = 0;
  int32_t LeftX = 0;
  int32_t PaintTop = 0;
  int32_t PaintBottom = 0;
  int32_t PaintY = 0;
};

// The items that fill a cell, stacked vertically; questions go to the items in order until one
// answers.
class TCellBasic : public TFreeList<TSectionBase> {
 public:
  explicit TCellBasic(TSectionList* document);
  // The items are copied for document (each through CreateCopy), with the owner-set values.
  TCellBasic(TSectionList* document, const TCellBasic& source);

  // Finishes a text section first; an empty one is dropped (its links removed) instead.
  void Add(std::unique_ptr<TSectionBase> item, int tagIndex);
  // Clears the default bottom margin of the last flowing block; true when one was cleared.
  bool ClearLastBottomMargin();

  // The largest minimum and maximum widths of the items.
  virtual void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth);
  // The first item drawn across y that finds something.
  virtual int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit);

  TFloatingObj* GetObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY);
  int32_t FindCursor(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit);
  int32_t FindString(std::u16string_view text, int32_t from, bool matchCase);
  int32_t FindStringR(std::u16string_view text, int32_t from, bool matchCase);
  int32_t FindSourcePos(int32_t docPos);
  int32_t FindDocPos(int32_t sourcePos, bool backwards);
  bool CursorToXY(plat::TCanvas* canvas, int32_t pos, int32_t& x, int32_t& y);
  bool GetChAtPos(int32_t pos, char16_t& ch, TSectionBase*& item);
  void AddSectionsToList();
  // Copies the selected text of the items that the selection touches.
  void CopyToClipboard();

  TSectionList* Document;
  int32_t StartCurs = 0;
  int32_t Len = 0;
  // Set and read by the owning block or table cell.
  int32_t ContentBottom = 0;
  int32_t DrawTop = 0;
  int32_t DrawBottom = 0;
  int32_t ItemsHeight = 0;
  // What holds the cell, as far as the margins of its first block care: the page itself
  // ("default"), a BODY, a list item, or anything else.
  enum class TOwnerKind : uint8_t { Other, Page, Body, ListItem };
  static TOwnerKind OwnerKindOfTag(std::string_view tag);
  TOwnerKind OwnerKind = TOwnerKind::Other;

 private:
  // The item drawn across y (drawn top <= y < drawn bottom).
  static bool DrawnAcross(const TSectionBase& item, int32_t y) {
    return item.PaintTop <= y && y < item.PaintBottom;
  }
};

// A cell laid out against float records of its own.
class TCell : public TCellBasic {
 public:
  explicit TCell(TSectionList* document);
  TCell(TSectionList* document, const TCell& source);

  // Lays the items out one below the other from y; returns their total height with the floats
  // that reach below them.
  virtual int32_t Layout(plat::TCanvas& canvas, int32_t y, int32_t width, int32_t availHeight,
                         int32_t blockHeight, int32_t& maxWidth, int32_t& curs);
  // Draws every item; returns the last item's result (y for an empty cell).
  virtual int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t clipWidth,
                       int32_t x, int32_t y, int32_t refX, int32_t refY);

  const std::unique_ptr<IndentManager> IndentMgr;
  int32_t YValue = 0;  // where the last layout started
  int32_t LastDrawY = 0;
};

// The content of a table cell, which answers for its TITLE and link where its items do not.
class TCellObjCell : public TCell {
 public:
  using TCell::TCell;
  TCellObjCell(TSectionList* document, const TCellObjCell& source)
      : TCell(document, source), HasFill(source.HasFill), FillColor(source.FillColor) {}

  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;

  // The cell's TITLE, HREF and TARGET, which few cells give: made when first set.
  struct TCellHints {
    std::string Title;
    std::string Url;
    std::string Target;
  };
  TCellHints& Hints() {
    if (!hints_) hints_ = std::make_unique<TCellHints>();
    return *hints_;
  }
  const TCellHints* GivenHints() const { return hints_.get(); }

  plat::TRect CellRect;  // window coordinates plus the scroll offset, set when the table draws
  // The background the table paints behind the cell.
  bool HasFill = false;
  TColor FillColor = clNone;

 private:
  std::unique_ptr<TCellHints> hints_;
};

// The content of a block box, laid out with the block's own float records.
class TBlockCell : public TCellBasic {
 public:
  using TCellBasic::TCellBasic;

  // Lays the items out from y; returns their total height (also kept in ItemsHeight) and sets
  // ContentBottom, DrawTop and DrawBottom.
  int32_t LayoutItems(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                      int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                      IndentManager& indents, int32_t& maxWidth, int32_t& curs);

  // The block hides overflow: its content reports the available width as its widest.
  bool HideOverflow = false;
};

// A bordered inline element: its source range and box values.
struct InlineRec {
  int32_t StartPos = 0;
  int32_t EndPos = 0;
  int32_t PropID = 0;
  int32_t SourceStart = 0;
  int32_t SourceEnd = 0;
  TMarginArray MargArray{};
};

class TInlineList : public TFreeList<InlineRec> {
 public:
  // The source end of an element still open: past every source position, whatever the page's
  // size, so that it runs to the end of the document.
  static constexpr int32_t kOpenEnd = INT32_MAX;
  static constexpr int32_t kOutside = 99999999;

  explicit TInlineList(TSectionList* owner) : Owner(owner) {}
  void Clear() override;
  // Document positions of entry i (converted first when stale); kOutside for a bad index.
  int32_t StartOf(int i);
  int32_t EndOf(int i);

  bool Stale = true;
  TSectionList* Owner;

 private:
  void Convert();
};

// Host hooks for the pictures of a page.
// A bitmap the host hands over (it passes to the image cache) and its transparent colour, or -1.
using TGetBitmapEvent = std::function<void(plat::TObject* sender, const std::string& src,
                                           std::unique_ptr<plat::TBitmap>& bitmap, TColor& color)>;
using TGetImageEvent = std::function<void(plat::TObject* sender, const std::string& src,
                                          plat::TMemoryStream*& stream)>;
using TExpandNameEvent =
    std::function<void(plat::TObject* sender, const std::string& src, std::string& result)>;

// Host hooks for the page's objects, form controls and panels; the viewer's events of these
// kinds are kept here, so that setting one reaches the page shown.
class ThvPanel;
using TObjectClickEvent =
    std::function<void(plat::TObject* sender, plat::TObject* obj, const std::string& onClick)>;
// Focus, blur and change of a form control, with the attribute text that names the handler.
using TObjectEvent =
    std::function<void(plat::TObject* sender, plat::TObject* obj, const std::string& attribute)>;
using TFileBrowseEvent =
    std::function<void(plat::TObject* sender, plat::TObject* obj, std::string& fileName)>;
using TPanelCreateEvent =
    std::function<void(plat::TObject* sender, const std::string& name, const std::string& type,
                       const std::string& src, ThvPanel* panel)>;
using TPanelDestroyEvent = std::function<void(plat::TObject* sender, ThvPanel* panel)>;
// An OBJECT tag: its attributes and PARAMs as name=value lines; setting wantPanel keeps the
// panel in the text.
using TObjectTagEvent =
    std::function<void(plat::TObject* sender, ThvPanel* panel, const plat::TStringList& attributes,
                       const plat::TStringList& params, bool& wantPanel)>;
// A SCRIPT element's NAME, LANGUAGE and body text.
using TScriptEvent = std::function<void(plat::TObject* sender, const std::string& name,
                                        const std::string& language, const std::string& script)>;
// A linked style sheet asked of the host: a stream it hands back (and keeps) is read whole; null
// leaves the sheet to be read from its file.
using TStreamRequestEvent = std::function<void(plat::TObject* sender, const std::string& src,
                                               plat::TMemoryStream*& stream)>;
// A form's submission: the values of its controls as name=value lines.
using TFormSubmitEvent = std::function<void(plat::TObject* sender, const std::string& action,
                                            const std::string& target, const std::string& encType,
                                            const std::string& method, plat::TStringList* results)>;

// A URL whose picture a host will deliver later, and the image object that waits for it (null:
// the document's background).
struct TDeferredImageRequest {
  std::string Url;
  TFloatingObj* Waiting = nullptr;
};

// The document: the top cell of a page and everything that belongs to the whole page.
class TSectionList : public TCell, public TIDDocument {
 public:
  TSectionList(plat::TWinControl* viewer, plat::TWinControl* paintPanel);
  ~TSectionList() override;

  void ApplyDefaults(const std::string& fontName, const std::string& preformattedFont, int fontSize,
                     TColor fontColor, TColor linkColor, TColor visitedLinkColor,
                     TColor overLinkColor, TColor backgroundColor, bool overLinksActive,
                     bool underlineLinks, uint8_t charSet, int marginHeight, int marginWidth);
  void SetBackColor(TColor color);
  void SetBackImage(const std::string& url, const TBackgroundPos& pos);

  // Lays the document out at width; returns its height.
  int32_t Layout(plat::TCanvas& canvas, int32_t y, int32_t width, int32_t availHeight,
                 int32_t blockHeight, int32_t& scrollWidth, int32_t& pos) override;
  // Paints what meets clipRect; returns the y below the last item.
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, int32_t clipWidth, int32_t x,
               int32_t y, int32_t refX, int32_t refY) override;

  void SetScrollY(int32_t y);
  // The cell's hit test, tracking the link and the image under the mouse.
  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;
  void SetPressed(bool down);
  void DropHover();
  // Advances the painted animations; the timer's handler.
  void AnimationTick();

  // The picture for a URL: a bitmap, a GIF image or an imaging-library picture, owned by the
  // image cache; null when there is none or the host delivers it later (delay). transparent
  // (0 none, 1 from the lower-left pixel, 2 known, 3 as cached) comes back as found.
  plat::TObject* FetchImage(const std::string& url, uint8_t& transparent, plat::TBitmap*& mask,
                            bool& fromCache, bool& delay);
  // Fetches the background picture once.
  void FetchBackImage();

  int32_t SelectionLength();
  // The selection as wide text in buffer with a terminating 0; the count including it.
  int32_t SelectionToBuffer(std::span<char16_t> buffer);

  // The last item of AnchorOrder at or above y, with its y and index; null when none.
  TSectionBase* ItemAtY(int32_t y, int32_t& topPos, int& index);
  // The name=value lines of every form, one list per form; null without forms.
  std::unique_ptr<TFreeList<plat::TStringList>> CollectFormData();
  // The document position of a source position, or the document's position count.
  int32_t SourceToDocPosOrEnd(int32_t sourcePos);
  // As the cell's CursorToXY; at or past the end the caret stands 15 pixels right of the last
  // character.
  bool PositionToXYClipped(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x);
  int32_t SourcePosToY(int32_t sourcePos) override;
  void OpenCloseInline(int32_t sourcePos, TProperties& prop, bool open);
  void ClearControlLists();
  void Clear() override;

  bool ImagesOn = true;
  int32_t ScrollY = 0;
  bool ScrollYChanged = false;
  int32_t SelStart = 0;
  int32_t SelEnd = 0;
  std::string PreformattedFont;
  TColor VisitedColor = clNone;
  TColor OverLinkColor = clNone;
  TColor LinkColor = clNone;
  plat::TWinControl* Viewer;
  plat::TWinControl* PaintPanel;
  // Set while Clear frees the page: a freed focused window hands the focus on to the next,
  // and what takes it then is half gone.
  bool Clearing = false;
  TGetBitmapEvent BitmapRequest;
  TGetImageEvent ImageRequest;
  TExpandNameEvent NameExpand;
  TObjectClickEvent ObjectClick;
  TObjectEvent ObjectFocus, ObjectBlur, ObjectChange;
  TFileBrowseEvent FileBrowse;
  TPanelCreateEvent PanelCreate;
  TPanelDestroyEvent PanelDestroy;
  TObjectTagEvent ObjectTag;
  TScriptEvent ScriptEvent;
  TStreamRequestEvent StreamRequest;
  // Set by the viewer while its OnFormSubmit is assigned; the results pass to it.
  std::function<void(const std::string& action, const std::string& target,
                     const std::string& encType, const std::string& method,
                     std::unique_ptr<plat::TStringList> results)>
      SubmitForm;
  // A form control or a link took the keyboard focus: the viewer scrolls it into view.
  std::function<void(TIDObject* obj)> ObjectFocused;
  // A link took the keyboard focus, or its focus window saw a key.
  std::function<void(TLinkRun& link)> LinkFocused;
  std::function<void(TLinkRun& link, uint16_t& key, plat::TShiftState shift)> LinkKeyDown;
  // The viewer's expansion of file names relative to its page; unset: names are used as given.
  std::function<std::string(const std::string& name)> ExpandFileName;
  // name through ExpandFileName, or as given without it.
  std::string Expanded(const std::string& name) const;
  TStringBitmapList* ImageCache = nullptr;  // the viewer's; it must outlive the document
  TColor BackColor = clNone;
  std::function<void(TSectionList* document)> BackColorChanged;
  plat::TGraphic* BackImage = nullptr;  // the image cache owns the pictures
  plat::TBitmap* BackMask = nullptr;
  TGIFImage* BackAnimation = nullptr;
  TBackgroundPos BackPosition{};
  std::string BackURL;
  bool BackFetched = false;
  TFreeList<TDocumentForm> Forms;
  std::vector<TGIFImage*> AnimatedImages;  // owned by their image objects
  SelTextCount* SelBuffer = nullptr;
  TFreeList<TMapItem> ImageMaps;
  std::unique_ptr<plat::TTimer> Timer;
  std::vector<TPageWindowObj*> AllControls;
  std::vector<TPageWindowObj*> Panels;
  std::vector<TDeferredImageRequest> DeferredImages;
  std::vector<TLinkRun*> LinkRuns;
  // The link run whose focus holder the layout pass looked up last, and the holder with its
  // place in LinkRuns (LinkRuns.size() for none): a link of many runs is walked once a pass.
  struct TFocusHolderMemo {
    int32_t Pass = -1;
    const TLinkRun* Run = nullptr;
    TFontObj* Holder = nullptr;
    size_t HolderAt = 0;
  };
  TFocusHolderMemo FocusHolderMemo;
  TLinkRun* HoverLink = nullptr;
  bool HoverLinks = false;
  THoverImage* HoverImage = nullptr;
  bool ShowDummyCaret = false;
  TStyleList StyleSheet;
  TFontShare SharedFonts;  // what the text runs of the page look like, each look held once
  TValueShare<TBlockStyle> SharedStyles;  // what the style gave its blocks, each look held once
  // The boxes of its blocks as built and laid out, each held once until a layout ends: the
  // blocks keep them, and the next layout shares its own.
  TValueShare<TMarginArray> SharedBoxes;
  TDrawList ImageDrawList;
  int32_t* FirstBaselineSlot = nullptr;
  TIDNameList Targets;
  std::vector<TSectionBase*> AnchorOrder;
  int32_t SectionCount = 0;
  int32_t LayoutPass = 0;
  // Where the layout's percentages start: the parse before it reports up to here.
  int32_t ProgressStart = 0;
  // The viewer's progress report, called by the parse and the layout with a percentage.
  std::function<void(int percent)> Progress;
  // A section was laid out: every 50th reports how far the layout is; true when it reported.
  // A section reports once per pass.
  bool ReportLayoutProgress(int32_t sectionNumber);
  TTabOrderList TabIndexList;
  bool ManyLinks = false;
  TInlineList InlineElements;
  int32_t TableDepth = 0;
  bool SecondPass = false;

 private:
  void ClearShownFlags();
  // Shows the controls that painting did not place, off screen, so focus and Tab keep working.
  void ParkHiddenControls();
  void UpdateTimer();
  // A picture from a file; a GIF that is not animated comes back as a bitmap of its frame.
  std::unique_ptr<plat::TObject> LoadImageFile(const std::string& name, uint8_t& transparent,
                                               std::unique_ptr<plat::TBitmap>& mask);
  // A picture the host's hooks deliver; null with delay set when it comes later.
  std::unique_ptr<plat::TObject> RequestImage(const std::string& url, uint8_t& transparent,
                                              std::unique_ptr<plat::TBitmap>& mask, bool& delay);
  // The number of document positions.
  int32_t PositionCount() const { return StartCurs + Len; }

  std::string backKey_;  // the cache name of the fetched background
};

}  // namespace html

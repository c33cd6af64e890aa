// Folder html/layout/blocks: block boxes of the document flow: BODY, paragraphs, divisions, list
// items and the blocks around tables laid out as CSS boxes (margins, borders, padding, width and
// height, floats, clearing, positioning, z-order, background colour and picture), horizontal rules,
// and the empty item of a page break.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/css/CssBoxes.h"
#include "html/css/CssFonts.h"
#include "html/css/CssStyles.h"
#include "html/layout/blocks/BlockPictures.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/tables/Tables.h"
#include "platform/pictures/Bitmap.h"

namespace html {

class TBlock;

// Float codes of the alignment parser; clear sides.
enum : uint8_t { FloatNone = 0, FloatLeft = 5, FloatRight = 6 };
enum : uint8_t { ClearNone = 0, ClearLeft = 1, ClearRight = 2, ClearBoth = 3 };
enum TPositionMode : uint8_t { PosStatic = 0, PosAbsolute = 1, PosRelative = 2 };
// text-align of a block: 1 left (or anything else), 2 center, 3 right.
enum : uint8_t { BlockAlignLeft = 1, BlockAlignCenter = 2, BlockAlignRight = 3 };

// What the style gave a block, held once for the blocks styled alike.
struct TBlockStyle {
  TVMarginArray Box;  // the box values, converted when the block is laid out
  std::string TagAndClass;
  // The em and ex of the block's own font: they size its box, not the parent's.
  int32_t EmPixels = 0;
  int32_t ExPixels = 0;
  uint8_t ClearSide = ClearNone;
  uint8_t VisibilityCode = 2;  // 1 hidden, 2 visible
  bool NotDisplayed = false;
  bool ClipOverflow = false;  // overflow hidden was asked for
  uint8_t AlignCode = BlockAlignLeft;

  // Equal for styles alike in every field.
  std::string ShareKey() const;
};

// A block's content cell, which knows its block.
class TBlockContent : public TBlockCell {
 public:
  TBlockContent(TSectionList* document, TBlock* owner) : TBlockCell(document), Owner(owner) {}
  TBlockContent(TSectionList* document, const TBlockContent& source, TBlock* owner)
      : TBlockCell(document, source), Owner(owner) {}

  TBlock* Owner;
};

class TBlock : public TSectionBase {
 public:
  // Takes the box from prop and collapses the top margin with what container holds already;
  // the caller adds the block to container afterwards.
  TBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
         TAttributeList* attributes);
  TBlock(TSectionList* document, const TBlock& source);
  ~TBlock() override;

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  void CopySelectedText() override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;
  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;
  TFloatingObj* FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) override;
  int32_t FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) override;
  int32_t FindStringForward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t DocToSourcePos(int32_t pos) override;
  int32_t SourceToDocPos(int32_t sourcePos, bool backwards) override;
  bool PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) override;
  bool GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) override;
  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  void AddToPositionList() override;
  bool IsAbsolutelyPositioned() const override { return PositionMode == PosAbsolute; }
  std::optional<bool> ClearOwnBottomMargin() override;

  // Paints the border ring between the padding box (inner) and the border box (outer).
  virtual void DrawBlockBorder(plat::TCanvas& canvas, const plat::TRect& inner,
                               const plat::TRect& outer);
  // Settles the horizontal margins and returns the content width; autoCount counts the "auto"
  // values among margin-left, width and margin-right.
  virtual int32_t ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount,
                               int32_t availHeight);

  // Converts the box for a base width and height into box; the vertical margins settled at
  // build time are kept. Returns the number of "auto" values among margin-left, width and
  // margin-right.
  int ConvertMargins(int32_t baseWidth, int32_t baseHeight, TMarginArray& box) const;
  bool IsFloating() const { return FloatSide != FloatNone; }
  // Left and right margin + padding + border.
  int32_t LeftExtras() const;
  int32_t RightExtras() const;
  // Whether the laid-out box clips its content's overflow.
  bool ClipsOverflow() const { return ClipsOverflow(*Margins); }

  // The look the style gave the block, shared with the blocks styled alike; a change makes it
  // the block's own.
  const TBlockStyle& Style() const { return *style_; }
  const TVMarginArray& RawMargins() const { return style_->Box; }
  void SetRawMargin(int index, TCssValue value);

  // A page may hold a block for each of many thousand paragraphs: the fields below are ordered
  // to leave no gaps.
  int32_t ContentWidth = 0;
  // The box as laid out, shared with the blocks laid out alike; the vertical margins settled at
  // build time stay in it from one layout to the next.
  TSharedValue<TMarginArray> Margins;
  TBlockContent Content;
  const std::string& TitleText() const;
  plat::TRect TitleRect{};  // the border box as last painted (window coordinates)
  int32_t ContentLeftOffset = 0;
  int32_t InnerBottom = 0;
  bool BorderOn = false;
  uint8_t FloatSide = FloatNone;
  TPositionMode PositionMode = PosStatic;
  bool BottomMarginAuto = false;
  // How far the layout moved the block down to clear floats, and how far positioning moves it;
  // 0 for nearly every block.
  int32_t ClearExtra() const { return rare_ ? rare_->ClearExtra : 0; }
  int32_t OffsetTop() const { return rare_ ? rare_->OffsetTop : 0; }
  int32_t OffsetLeft() const { return rare_ ? rare_->OffsetLeft : 0; }
  // The background picture's address and placement, which few blocks have.
  const std::string& BackImageUrl() const;
  const TBackgroundPos& BackPosition() const;
  void SetBackImage(std::string url, const TBackgroundPos& pos);
  // The background picture once fetched, and the tile composed from it over the visible part
  // of the padding box with its mask (white: transparent). Only blocks with a picture have one.
  struct TBackdrop {
    std::unique_ptr<plat::TBitmap> Image;
    std::unique_ptr<plat::TBitmap> Mask;  // null: the picture is opaque
    std::unique_ptr<plat::TBitmap> Tile;
    std::unique_ptr<plat::TBitmap> TileMask;
    bool TileOpaque = false;  // the tile covers its area: no mask needed
    plat::TRect TilePadding{}, TileArea{};
  };
  const TBackdrop* Backdrop() const { return rare_ ? rare_->Backdrop.get() : nullptr; }
  bool HasBackImage() const { return Backdrop() != nullptr; }
  int PaintCount() const { return Content.Count(); }
  TSectionBase* PaintItem(int index) const {
    return HasPaintOrder() ? rare_->PaintOrder[size_t(index)] : Content.Items(index);
  }

 protected:
  // For blocks that settle their margins after adjusting the box themselves.
  enum class TMergeMargins : uint8_t { Now, Later };
  TBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
         TAttributeList* attributes, TMergeMargins merge);
  // Collapses the top margin with the item before it in container, where the block goes.
  void MergeVerticalMargins(const TCellBasic* container);
  // The box is settled for now: the block holds it with the boxes alike. Pages repeat a few
  // boxes many times.
  void ShareBox() {
    if (Document) Margins.ShareIn(Document->SharedBoxes);
  }
  // The style to change, then to share again with the blocks styled alike.
  TBlockStyle& EditStyle() { return style_.Edit(); }
  void ShareStyle() {
    if (Document) style_.ShareIn(Document->SharedStyles);
  }

  // The content's items in paint order, each told that this block owns it.
  void BuildPaintOrder();
  bool HasPaintOrder() const { return rare_ && !rare_->PaintOrder.empty(); }
  // The document paints the picture in the block's place.
  void DropBackImageUrl() {
    if (rare_) rare_->BackImageUrl.clear();
  }
  // How far y must move down to clear the floats of ClearSide.
  int32_t ClearSpace(const IndentManager& indents, int32_t y) const;
  void PaintBlock(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
                  int32_t x, int32_t y, int32_t refX, int32_t refY);
  // Overflow is clipped only for a set width above 20 pixels.
  bool ClipsOverflow(const TMarginArray& box) const;
  // An absolute block lays its content out against float records of its own; the body drops
  // them.
  IndentManager& OwnIndents() { return *rare_->OwnIndents; }
  void DropOwnIndents() {
    if (rare_) rare_->OwnIndents.reset();
  }

  // Fetches the background picture once and keeps a 32-bit copy of it (the current frame of an
  // animation) with its mask; a picture that cannot be had is dropped.
  void FetchBackImage();
  // Paints the background picture over the part of the padding box inside clipRect.
  void DrawBackImage(plat::TCanvas& canvas, const plat::TRect& padding,
                     const plat::TRect& clipRect);

 private:
  // Composes the tile for `area` of the padding box (both in window coordinates) unless the
  // last one covered the same area.
  void PrepareBackground(const plat::TRect& padding, const plat::TRect& area);

  // What few blocks have, made when first needed.
  struct TRare {
    TBackgroundPos BackPosition{};
    std::string BackImageUrl;
    bool BackFetched = false;
    std::unique_ptr<TBackdrop> Backdrop;
    std::unique_ptr<IndentManager> OwnIndents;
    int32_t ClearExtra = 0, OffsetTop = 0, OffsetLeft = 0;
    std::string TitleText;
    std::string TargetName;  // the ID the block was registered under
    // The content's items by StackOrder; empty while that is their order in Content, as it
    // nearly always is.
    std::vector<TSectionBase*> PaintOrder;
  };
  TRare& Rare();
  // The top margin collapsed with what container holds before the block.
  int32_t CollapsedTopMargin(const TCellBasic* container, int32_t top, bool topAuto);
  // Sets a field of the rare part that is 0 for nearly every block, without making the part
  // for a 0.
  void SetRareValue(int32_t TRare::*field, int32_t value) {
    if (value != 0 || rare_) Rare().*field = value;
  }

  TSharedValue<TBlockStyle> style_;
  std::unique_ptr<TRare> rare_;
  int32_t FitWidth(int32_t availWidth, int32_t minWidth, int32_t maxWidth) const;
  // Left and right padding and border.
  int32_t HorizontalFrame() const;
};

// Marker styles, in the order of the list-style-type names.
enum TListMarker : uint8_t {
  lmBlank,
  lmCircle,
  lmDecimal,
  lmDisc,
  lmLowerAlpha,
  lmLowerRoman,
  lmNone,
  lmSquare,
  lmUpperAlpha,
  lmUpperRoman
};
// 1 ordered, 2 unordered, 3 definition list, 4 outside any list.
enum : uint8_t { lkOrdered = 1, lkUnordered = 2, lkDefinition = 3, lkOther = 4 };

// The text of a numbered marker ("3.", "c.", "iii."); empty for the other styles.
std::u16string ListMarkerText(uint8_t style, int32_t number);

// A list item: a block with a marker left of its first line.
class TBlockLI : public TBlock {
 public:
  // listSymbol is the list's start symbol (OLSy, ULSy, DIRSy, MENUSy, DLSy) or anything else
  // for an item outside a list; typeChar the TYPE of an ordered list.
  TBlockLI(TSectionList* document, TProperties& prop, TCellBasic* container, Symb listSymbol,
           bool plain, char typeChar, int32_t itemNumber, int level, TAttributeList* attributes);
  TBlockLI(TSectionList* document, const TBlockLI& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;
  std::optional<bool> ClearOwnBottomMargin() override;

  uint8_t ListKind = lkOther;
  int32_t ItemNumber = 0;
  uint8_t MarkerStyle = lmDisc;
  std::unique_ptr<TMyFont> MarkerFont;
  std::string MarkerImageUrl;  // list-style-image
  TBlockPicture MarkerImage;   // drawn in place of the marker once fetched
  int32_t FirstLineY = 0;      // baseline of the first line, written by the text layout

 private:
  void DrawMarker(plat::TCanvas& canvas, int32_t cx, int32_t baseline);
  // The marker picture, its left edge 16 pixels left of cx and its bottom on the baseline.
  void DrawMarkerImage(plat::TCanvas& canvas, int32_t cx, int32_t baseline);

  bool markerFetched_ = false;
};

// BODY: laid out across the whole width of the document; the viewer paints its background.
class TBodyBlock : public TBlock {
 public:
  TBodyBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
             TAttributeList* attributes);
  using TBlock::TBlock;

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;
  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;
};

// HR: a sunken line, or a bar of its colour.
class THorzLine : public TSectionBase {
 public:
  // Reads SIZE, ALIGN, WIDTH, COLOR and NOSHADE; WIDTH and COLOR go into prop as presentation
  // values, so the rule's block sees them.
  THorzLine(TSectionList* document, TAttributeList* attributes, TProperties& prop);
  THorzLine(TSectionList* document, const THorzLine& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  void CopySelectedText() override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;

  int32_t RuleHeight = 2;
  TColor RuleColor = clNone;
  uint8_t RuleAlignCode = BlockAlignCenter;
  bool Flat = false;
  int32_t RuleWidth = 0;
  int32_t RuleLeft = 0;
};

// The block around an HR: it sizes and aligns the rule.
class THRBlock : public TBlock {
 public:
  THRBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
           TAttributeList* attributes, std::unique_ptr<THorzLine> rule);
  THRBlock(TSectionList* document, const THRBlock& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  int32_t ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount,
                       int32_t availHeight) override;

  uint8_t RuleAlign = BlockAlignCenter;
  THorzLine* Rule = nullptr;  // held by Content
};

// The block around a TABLE: its WIDTH, HSPACE, VSPACE, ALIGN, BGCOLOR, BACKGROUND and BORDER
// attributes become the box, and the table is sized and aligned inside it.
class TTableBlock : public TBlock {
 public:
  TTableBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
              std::unique_ptr<ThtmlTable> table, TAttributeList* attributes);
  TTableBlock(TSectionList* document, const TTableBlock& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  int32_t ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount,
                       int32_t availHeight) override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;
  void AddToPositionList() override;
  void DrawBlockBorder(plat::TCanvas& canvas, const plat::TRect& inner,
                       const plat::TRect& outer) override;
  // The table's width for availWidth beside the block's current margins, paddings and borders;
  // a requested width also becomes the table's width request.
  int32_t TableWidth(plat::TCanvas& canvas, int32_t availWidth);

  ThtmlTable* Table = nullptr;  // held by Content
  int32_t RequestedWidth = 0;   // pixels, or per-mille of the available width
  bool WidthIsPercent = false;
  TColor BgColor = clNone;
  bool HasBgColor = false;
  int32_t HSpaceAttr = 0;
  int32_t VSpaceAttr = 0;
  bool CaptionAttached = false;
  bool BorderFromTable = false;  // BORDER became the block's borders
  uint8_t TableAlign = 0;        // 0 none, 2 center, 3 right
  int32_t LeftShift = 0;         // moved right to clear left floats

 private:
  void ReadAttributes(TAttributeList& attributes);
  void TakeTableBorder();
  void TakeCssWidth();
};

// A table with its CAPTION: the caption block above or below the table block, both as wide as
// the wider of the two.
class TTableAndCaptionBlock : public TBlock {
 public:
  // Takes the table block over; its alignment becomes the caption's.
  TTableAndCaptionBlock(TSectionList* document, TProperties& prop, TCellBasic* container,
                        TAttributeList* attributes, std::unique_ptr<TTableBlock> tablePart);
  TTableAndCaptionBlock(TSectionList* document, const TTableAndCaptionBlock& source);
  ~TTableAndCaptionBlock() override;

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  // Takes the caption over, before the table when CaptionOnTop.
  void SetCaptionBlock(std::unique_ptr<TBlock> caption);
  // The table's ID names the table block.
  void AddToIDList();
  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  int32_t ComputeWidth(plat::TCanvas& canvas, int32_t availWidth, int autoCount,
                       int32_t availHeight) override;
  int32_t SourceToDocPos(int32_t sourcePos, bool backwards) override;

  bool CaptionOnTop = true;
  TTableBlock* TablePart = nullptr;  // both held by Content
  TBlock* CaptionPart = nullptr;
  uint8_t CaptionAlign = 0;  // 2 center, 3 right
  std::string TargetID;

 private:
  void FindParts();
};

// The item of a PAGE tag: no height, paints nothing.
class TPage : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override {
    return std::make_unique<TPage>(document, *this);
  }
};

}  // namespace html

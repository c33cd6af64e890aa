// Folder html/layout/text: text sections with their font runs, inline objects and PRE.
//
// A stretch of flowing text in the document: its characters with break flags and source
// positions, font runs, objects, and its lines once laid out.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "html/base/TextBuffers.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/text/FontRuns.h"
#include "html/layout/text/InlineObjects.h"

namespace html {

// Characters that stand for something else in a section's text.
inline constexpr char16_t kObjectChar = 4;     // a picture or panel
inline constexpr char16_t kControlChar = 2;    // a form control
inline constexpr char16_t kLineBreakChar = 8;  // BR
inline constexpr char16_t kNoBreakSpace = 0xA0;
inline constexpr char16_t kSoftHyphen = 0xAD;

// Break flags, one per character.
inline constexpr char kBreakOrdinary = 'y';
inline constexpr char kBreakNever = 'n';
inline constexpr char kBreakSoftHyphen = 's';
inline constexpr char kBreakForced = 'a';
// The space that ends a line of PRE inside the section, where a section of its own would have
// its closing space.
inline constexpr char kBreakLineEnd = 'e';

// What the document builder offers a section while filling it: the properties of the innermost
// element, the no-break state, and a property set pushed and popped for a tag (small capitals).
class TTextBuildState {
 public:
  virtual ~TTextBuildState() = default;
  virtual TProperties& TopProperties() = 0;
  virtual bool NoBreak() const = 0;
  virtual void PushProperties(const std::string& tag) = 0;
  virtual void PopPropertiesTo(const std::string& tag) = 0;
};

// Makes `state` the builder state while it lives (one parse at a time).
class TTextBuildScope {
 public:
  explicit TTextBuildScope(TTextBuildState& state);
  ~TTextBuildScope();
  TTextBuildScope(const TTextBuildScope&) = delete;
  TTextBuildScope& operator=(const TTextBuildScope&) = delete;

 private:
  TTextBuildState* previous_;
};

// The builder state in force, or null outside a parse.
TTextBuildState* CurrentTextBuildState();

// Where a run of characters starts in the source: within a run each character is one further.
struct IndexObj {
  int32_t Pos;
  int32_t Index;
};

// The part of a bordered inline element that lies on one line.
struct BorderRec {
  int32_t BStart = 0, BEnd = 0;  // section-relative positions
  bool OpenStart = false, OpenEnd = false;
  plat::TRect BRect{};  // document coordinates, recorded at the line's first drawing
  TMarginArray MargArray{};
};

struct LineRec {
  int32_t StartIndex = 0;  // first character in the section's text
  int32_t SpaceAbove = 0;
  int32_t SpaceBelow = 0;
  int32_t TextHeight = 0;
  int32_t TotalHeight = 0;
  int32_t CharCount = 0;
  int32_t Descent = 0;
  int32_t Indent = 0;
  int32_t LineLeft = 0;
  int32_t AvailWidth = 0;
  int32_t TextTop = 0;
  int32_t GapCount = 0;
  int32_t ExtraWidth = 0;
  // The border boxes, which few lines have, are the section's: one line of a PRE is a record
  // of its own, and 56 bytes take a smaller heap block than 72.
  bool HasInlineBorders = false;
  bool EndsWithHyphen = false;
};

// The lines of a section, held by value: a section of one line keeps one record and no block
// for a list of pointers beside it.
class TLineList {
 public:
  int Count() const { return int(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  // Raises EListError for an index outside the list.
  LineRec& operator[](int index);
  const LineRec& operator[](int index) const;
  LineRec& First() { return (*this)[0]; }
  LineRec& Last() { return (*this)[Count() - 1]; }
  const LineRec& Last() const { return (*this)[Count() - 1]; }
  LineRec& Add() { return lines_.emplace_back(); }
  // The index of a line of this list.
  size_t IndexOf(const LineRec& line) const { return size_t(&line - lines_.data()); }
  void Clear() { lines_.clear(); }
  // Gives back the room growing left over: a laid-out section keeps its lines as they are.
  void ShrinkToFit() { lines_.shrink_to_fit(); }
  auto begin() { return lines_.begin(); }
  auto end() { return lines_.end(); }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }

 private:
  std::vector<LineRec> lines_;
};

class TSection : public TSectionBase {
 public:
  // attributes and link may be null.
  TSection(TSectionList* owner, TAttributeList* attributes, TProperties& prop,
           const TUrlTarget* link, TCellBasic* cell, bool firstSection);
  TSection(TSectionList* owner, const TSection& source);
  ~TSection() override;

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;

  // --- Filling
  void AddChar(char16_t ch, int32_t sourcePos);
  virtual void AddTokenObj(TokenObj& token);
  void ProcessText(int tagIndex) override;
  void FinishText();
  void ChangeFont(TProperties& prop);
  // linkStart: a link begins here (else it ends).
  void SetLink(bool linkStart, TProperties& prop, const TUrlTarget& link);
  // Places an object (taken over) at the current end.
  void AddFloatingObj(std::unique_ptr<TFloatingObj> obj, int32_t sourcePos);
  // Lists a control of a form at the current end; `flag` is its break flag. A border style in
  // prop frames the control like a bordered inline element.
  void AddFormControl(TFormControlObj& control, int32_t sourcePos, char flag = kBreakOrdinary,
                      TProperties* prop = nullptr);
  void ForceBreakAtEnd();
  // A section made now from prop, outside a link and without attributes, would draw its text as
  // the end of this one does: what follows may go on in this section.
  bool WouldStartAlike(TProperties& prop) const;
  void RemoveLinks() override;
  // A section left empty by BR CLEAR stays: its only work is to move what follows below floats.
  bool IsEmptyText() const override { return Text.empty() && !IsPreformatted() && ClearMode == 0; }
  const IndexObj& GetIndexObj(int index) const { return SourceIndex.at(size_t(index)); }
  int SourceIndexCount() const { return int(SourceIndex.size()); }
  // Where the character at a section position came from.
  int32_t SourcePosOf(int32_t position) const;

  // --- Layout
  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  int32_t MeasureTextWidth(plat::TCanvas& canvas, int32_t start, int32_t count,
                           bool ignoreTrailing);
  // One past the space that ends the PRE line from start, or the end of the text.
  int32_t LineEnd(int32_t start) const;
  // The space at k closes the text or a PRE line in it: it shows nothing and is not copied.
  bool IsClosingSpace(int32_t k) const {
    return Text[size_t(k)] == u' ' &&
           (size_t(k) + 1 == Text.size() || BreakFlags[size_t(k)] == kBreakLineEnd);
  }
  int32_t FindCountThatFits(plat::TCanvas& canvas, int32_t start,
                            std::vector<TFloatingObj*>& deferredFloats, int32_t& floatHeight,
                            IndentManager& indents, int32_t y, int32_t limit);
  // Characters from `from` on, before `end` and before the next object (and line break, when
  // asked), that fit room in the font selected on dc, ending where a character ends; `Whole`
  // tells that all up to that stop fit. Measures a growing stretch at a time: the cost follows
  // what fits, not what follows.
  struct TTextFit {
    int32_t Count = 0;
    int32_t Extent = 0;
    bool Whole = false;
  };
  TTextFit FitCharacters(const plat::DeviceContext& dc, int32_t from, int32_t end, int64_t room,
                         bool stopAtLineBreak) const;
  // The character at k continues the one before it (a surrogate's second half, a combining mark,
  // a joined part of an emoji): nothing may break before it.
  bool ContinuesCluster(int32_t k) const {
    return rare_ && size_t(k) < rare_->ClusterTail.size() && rare_->ClusterTail[size_t(k)];
  }
  // Some character continues another: the text has a cluster table.
  bool HasClusters() const { return rare_ && !rare_->ClusterTail.empty(); }
  // A soft hyphen after character k is drawn when a line ends there: not after a space, nor when
  // a space, a line break or the end of the text follows, where a line ends without one.
  bool HyphenShows(int32_t k) const;

  // --- Drawing
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override;

  // --- Queries (html/layout/text/TextSectionQueries.h)
  int HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) override;
  TFloatingObj* FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) override;
  int32_t FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) override;
  int32_t FindStringForward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) override;
  int32_t DocToSourcePos(int32_t pos) override;
  int32_t SourceToDocPos(int32_t sourcePos, bool backwards) override;
  bool PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) override;
  bool GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) override;
  void CopySelectedText() override;

  virtual bool IsPreformatted() const { return false; }
  // PRE that does not wrap: each laid-out line is a line of the source, and stands for the
  // section that line would have been.
  bool KeepsSourceLines() const { return IsPreformatted() && !BreakWord; }

  int32_t SectionNumber = 0;
  int32_t ProgressPass = 0;
  // The small fields sit together: a PRE holds a section a line.
  bool SourceRising = true;  // every run of SourceIndex starts past the source of the one before
  bool BreakWord = false;
  uint8_t TextAlign = 1;  // 1 left, 2 center, 3 right, 4 justify
  uint8_t ClearMode = 0;  // 0 none, 1 left, 2 right, 3 both
  // The last count FitCountAt measured, for the layout pass, line start, width and limit asked;
  // a hit test followed by a caret look-up at the same point measures once. Kept for the
  // sections that were hit tested.
  struct TFitCount {
    int32_t Pass = -1, Start = 0, Width = 0, Limit = 0, Count = 0;
  };
  TFitCount& LastFit() { return Rare().LastFit; }
  std::u16string Text;
  std::string BreakFlags;
  std::unique_ptr<std::vector<int32_t>> SourcePos;  // only while building
  TFontList Fonts;
  // Pictures and panels, and form controls, in the text; most sections have none.
  const TImageObjList& Images() const;
  TImageObjList& MutableImages() { return Rare().Images; }
  const TFormControlList& FormControls() const;
  TCompactVector<IndexObj> SourceIndex;
  TLineList Lines;
  int32_t LineHeight = -1;
  int32_t LayoutWidth = 0;
  int32_t CachedMinWidth = 0, CachedMaxWidth = 0;
  // The text-indent of a first section: pixels, and the percentage of the width it came from
  // (0 for a length).
  int32_t FirstIndent() const { return rare_ ? rare_->FirstIndent : 0; }
  int32_t FirstIndentPercent() const { return rare_ ? rare_->FirstIndentPercent : 0; }

 protected:
  // Appends characters with their source positions and one break flag for all.
  void AppendText(std::u16string_view chars, const int32_t* positions, char flag);
  // Keeps only the characters at the given old positions (in order), with their flags and
  // source positions; runs and objects move with their characters.
  void KeepOnly(const std::vector<int32_t>& kept);
  // A new run at the current end with prop's font, or the last run's font replaced when the run
  // holds no characters yet.
  TFontObj& StartRun(TProperties& prop);
  void AddLinkRun(TFontObj& run);
  // The document's fonts, which the runs share; null outside a document.
  TFontShare* FontShare() const;

 private:
  // What a section takes from the properties it starts with.
  struct TLook {
    int32_t LineHeight = -1;
    uint8_t TextAlign = 1;
    bool BreakWord = false;
  };
  static TLook LookOf(TProperties& prop, const TMyFont& font);
  void AddSmallCaps(std::u16string_view chars, const int32_t* positions, char flag);
  int32_t ClearSpace(const IndentManager& indents, int32_t y) const;
  // Sizes the pictures, panels and controls at positions from..to-1 for a line lineWidth wide;
  // maxWidth takes the widest.
  void SizeObjects(plat::TCanvas& canvas, int32_t from, int32_t to, int32_t lineWidth,
                   int32_t heightBase, int32_t& maxWidth);
  void FinishLine(plat::TCanvas& canvas, LineRec& line, int32_t start, int32_t count,
                  IndentManager& indents, int32_t leftX, int32_t y, int32_t floatHeight,
                  std::vector<TFloatingObj*>& deferredFloats, int32_t& floatBottom);
  // Width for the line from start at y.
  int32_t LineRoom(const IndentManager& indents, int32_t y, int32_t start) const;
  // Width of the "-" a line ending after character k shows, in k's font.
  int32_t HyphenWidth(plat::TCanvas& canvas, int32_t k);
  // Break chosen for a line of `room` pixels whose first `fit` characters from start fit; -1:
  // none found.
  int32_t ChooseBreak(plat::TCanvas& canvas, int32_t start, int32_t fit, int32_t room);
  // A word that does not fit may end after character k.
  bool EndsLongWord(int32_t k) const;
  // Draws what meets clipRect; text is clipped to textClip when one is given.
  void DrawLine(plat::TCanvas& canvas, LineRec& line, int32_t x, int32_t lineBottom,
                IndentManager& indents, const plat::TRect& clipRect, const plat::TRect* textClip,
                bool recording);
  // The boxes of the bordered inline elements on a line, made at its first drawing, and the x
  // they were recorded at.
  struct TLineBorders {
    std::vector<BorderRec> Records;
    int32_t RecordedX = 0;
  };
  // Null for a line without boxes.
  TLineBorders* BordersOf(const LineRec& line) const;
  std::span<BorderRec> Borders(const LineRec& line) const;
  void MakeBorderRecords(LineRec& line);
  void PaintBorders(plat::TCanvas& canvas, const LineRec& line, int32_t shift);

  // Takes the section's ID out of the document's names.
  void DropTarget();

  // What few sections have, kept apart so that a line or a paragraph of plain text does not
  // carry it.
  struct TRare {
    std::vector<bool> ClusterTail;  // per character, from FinishText; empty when no cluster
    std::string TargetName;         // the ID the section was registered under
    TImageObjList Images;
    TFormControlList FormControls;
    TFitCount LastFit;
    std::vector<TLineBorders> LineBorders;  // by line index, up to the last line with boxes
    int32_t FirstIndent = 0, FirstIndentPercent = 0;
  };
  TRare& Rare();
  std::unique_ptr<TRare> rare_;
};

}  // namespace html

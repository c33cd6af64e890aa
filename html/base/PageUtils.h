// Folder html/base: owning lists, attributes, text buffers, URL helpers and the ID table that the
// rest of the engine shares.
//
// Shared pieces of the HTML engine: owning lists, tag attributes, link records, the selection
// text visitors, wide-string helpers and text measuring on a device context.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "html/base/CompactVector.h"
#include "html/parse/HtmlSymbols.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"
#include "platform/drawing/Region.h"
#include "platform/runtime/Classes.h"

namespace html {

class TProperties;
class TFontList;

// Raises EListError for an index outside [0, limit).
inline void CheckListIndex(int index, int limit) {
  if (index < 0 || index >= limit)
    throw plat::EListError(plat::Format("List index out of bounds (%d)", {index}));
}

// A list that owns its items: deleting, clearing or destroying the list frees them.
template <class T>
class TFreeList {
 public:
  TFreeList() = default;
  TFreeList(const TFreeList&) = delete;
  TFreeList& operator=(const TFreeList&) = delete;
  virtual ~TFreeList() = default;

  int Count() const { return int(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Raises EListError for an index outside the list.
  T* Items(int index) const {
    CheckIndex(index, Count());
    return items_[size_t(index)].get();
  }
  T* operator[](int index) const { return Items(index); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }

  int Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  void Insert(int index, std::unique_ptr<T> item) {
    CheckIndex(index, Count() + 1);
    items_.insert(items_.begin() + index, std::move(item));
  }
  // Frees the item and removes it.
  void Delete(int index) {
    CheckIndex(index, Count());
    items_.erase(items_.begin() + index);
  }
  // Removes the item without freeing it: the caller becomes its owner.
  std::unique_ptr<T> Extract(int index) {
    CheckIndex(index, Count());
    std::unique_ptr<T> item = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    return item;
  }
  int IndexOf(const T* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return int(i);
    return -1;
  }
  virtual void Clear() { items_.clear(); }
  // Gives back the room that adding items left over.
  void ShrinkToFit() { items_.shrink_to_fit(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  static void CheckIndex(int index, int limit) { CheckListIndex(index, limit); }
  TCompactVector<std::unique_ptr<T>> items_;
};

// One attribute of a tag as the tokenizer read it.
struct TAttribute {
  TAttribute(Symb which, int32_t value, std::string whichName, std::string name, int32_t codePage)
      : Which(which),
        WhichName(std::move(whichName)),
        Value(value),
        Name(std::move(name)),
        CodePage(codePage) {}

  // A "%" in the text: the number is a percentage.
  bool IsPercent() const { return Name.find('%') != std::string::npos; }

  Symb Which;
  std::string WhichName;  // the attribute's name as written (upper case)
  int32_t Value;          // numeric value of the text (see AttributeNumber)
  std::string Name;       // the text value
  int32_t CodePage;
};

// The number of an attribute's text, read one way for every attribute: blanks round it go and
// so does a "%" that ends it; then a sign, digits and a fraction rounded to the nearest whole
// (halves to even) and kept within 32 bits; what follows (a unit) is ignored. False when the
// text does not start with a sign, a point or a digit.
bool AttributeNumber(std::string_view text, int32_t& number);

// The attributes of one tag, with the look-ups the builder makes.
class TAttributeList : public TFreeList<TAttribute> {
 public:
  // The first attribute with this symbol.
  bool Find(Symb sym, TAttribute*& attr) const;
  // The ID in lower case (kept after the first call); empty without one.
  std::string GetID();
  // The CLASS words trimmed and lower-cased, several of them in the style sheet's class order.
  std::string GetClass() const;
  // The TITLE text, or empty.
  std::string GetTitle() const;
  // The properties of the STYLE attribute, parsed anew at each call; null without one. The list
  // keeps a share of them, so a property set that took them over may keep them longer.
  std::shared_ptr<TProperties> GetStyle();
  // One NAME=value line per attribute, in list order.
  std::unique_ptr<plat::TStringList> CreateStringList() const;
  void Clear() override;

  std::shared_ptr<TProperties> Prop;
  std::string SaveID;
};

// Source positions of the first and last character of a link; -1 when not set.
struct TutText {
  int32_t Start = -1;
  int32_t Last = -1;
};

// The link that a run of text belongs to.
class TUrlTarget {
 public:
  TUrlTarget() : utText(std::make_unique<TutText>()) {}
  TUrlTarget(const TUrlTarget&) = delete;
  TUrlTarget& operator=(const TUrlTarget&) = delete;

  // Takes a new link number from the process-wide counter (first 10).
  void Assign(const std::string& url, const std::string& target, const TAttributeList& attributes,
              int32_t start);
  void Copy(const TUrlTarget& from);
  // Stores last, and in the runs of this link that end the list (walking back from the last run
  // to the first run of another link).
  void SetLast(TFontList& fontRuns, int32_t last);
  void Clear();
  int32_t GetStart() const { return utText->Start; }
  int32_t GetLast() const { return utText->Last; }

  std::string URL;
  std::string Target;
  int32_t ID = 0;
  std::string Attr;  // NAME=value lines, each ended by CR LF
  std::unique_ptr<TutText> utText;
  int32_t TabIndex = 0;
};

// Counts the selected characters that the buffer visitor below would store: objects (codes 2
// and 4) and line-break marks (code 8) take no place in the text.
class SelTextCount {
 public:
  virtual ~SelTextCount() = default;
  virtual void AddText(const char16_t* p, int32_t size);
  // Count; the buffer visitor also stores the terminating 0.
  virtual int32_t Terminate();
  void AddTextCR(const char16_t* p, int32_t size);

  int32_t Count = 0;
};

// Copies the selected characters into a caller's buffer, keeping room for a terminating 0.
class SelTextBuf : public SelTextCount {
 public:
  explicit SelTextBuf(std::span<char16_t> buffer) : Buffer(buffer) {}
  void AddText(const char16_t* p, int32_t size) override;
  // Writes the terminating 0 (when the buffer has room for anything) and returns Count + 1.
  int32_t Terminate() override;

  std::span<char16_t> Buffer;
};

// --- Wide strings. The pointer forms work on zero-terminated text; positions are 1-based.

// The first occurrence of sub in str; null when either is null, sub is empty or longer than str,
// or it does not occur.
const char16_t* WideStrPos(const char16_t* str, const char16_t* sub);
// The first ch in str (the terminating zero counts); null when absent.
const char16_t* WideStrScan(const char16_t* str, char16_t ch);
// The last ch in str (the terminating zero counts); null when absent.
const char16_t* WideStrRScan(const char16_t* str, char16_t ch);
// 1-based index of the first sub in s; 0 when none (or sub is empty).
int WidePos(std::u16string_view sub, std::u16string_view s);
// Case mapping one code unit for one code unit, so positions into the text stay valid.
std::u16string WideUpperCaseStr(std::u16string_view s);
std::u16string WideLowerCaseStr(std::u16string_view s);
bool WideSameStr(std::u16string_view a, std::u16string_view b);
// Without leading and trailing characters below 33.
std::u16string WideTrim(std::u16string_view s);
// 1-based position of the first sub in s at or after start (start <= 1: all of s); 0 when none.
int PosFrom(std::string_view sub, std::string_view s, int start);
inline int IntMin(int a, int b) {
  return a < b ? a : b;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}
void ReplaceChar(char16_t oldChar, char16_t newChar, std::u16string& s);

// --- Text measuring and drawing

// How many of the first len characters of s fit in maxWidth pixels, and the extent of those; a
// surrogate pair is never split. 0 (extent 0) when maxWidth < 1 or len = 0.
int FitText(const plat::DeviceContext& dc, const char16_t* s, int len, int maxWidth, int& extent);
plat::TSize GetWideTextExtent(const plat::DeviceContext& dc, const char16_t* s, int len);
// s word-wrapped into the rectangle, aligned top-left whatever the context's alignment was.
void WideDrawText(plat::TCanvas& canvas, int left, int top, std::u16string_view s, int right,
                  int bottom);

// --- 3-D frames of image placeholders and tables

// A frame of `width` pixels around (left + 1, top + 1, right, bottom): raised frames are light at
// the left and top and dark at the right and bottom, sunken ones the other way round. The light
// colour is silver on a white page (documentBackground white, or the system window colour
// while that is white), the button highlight colour elsewhere; the dark one the button shadow.
void Draw3DRect(plat::TColor documentBackground, plat::TCanvas& canvas, int left, int top,
                int right, int bottom, int width, bool raised);
void Draw3DRectColors(plat::TCanvas& canvas, int left, int top, int right, int bottom, int width,
                      bool raised, plat::TColor light, plat::TColor dark);

// The canvas's clip before a nested clip was selected: none, or its region (device units).
struct TSavedClip {
  std::optional<plat::TRegion> OldRgn;
  plat::TRegion NewRgn;
};
// Selects rect (logical units) intersected with the current clip as the clip region.
TSavedClip SaveClipRegion(plat::TCanvas& canvas, const plat::TRect& rect);
// Selects the clip that was there before SaveClipRegion.
void RestoreClipRegion(plat::TCanvas& canvas, const TSavedClip& saved);

}  // namespace html

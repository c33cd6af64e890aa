// Folder html/css: CSS properties and their cascade, the style sheet and its parser, colours,
// lengths, fonts and computed values. Uses html/base.
//
// The CSS properties of one element or style rule, the cascade that fills them, and the
// document's style sheet.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "html/css/CssBoxes.h"
#include "html/css/CssColors.h"
#include "html/css/CssFonts.h"
#include "html/css/CssRuleSet.h"
#include "html/css/CssValues.h"

namespace html {

class TStyleList;
class TPropStack;

class TProperties {
 public:
  TProperties();
  ~TProperties();
  TProperties(const TProperties&) = delete;
  TProperties& operator=(const TProperties&) = delete;

  // --- Filling
  // The 60 slots only.
  void CopyPropsFrom(const TProperties& source);
  // The slots, charset and default family; the set becomes the "default" rule.
  void CopyFrom(const TProperties& source);
  // A CSS declaration; unknown names are ignored.
  void AddPropertyByName(std::string_view name, const std::string& value);
  void AddPropertyByIndex(int index, const std::string& value);
  // An HTML presentation attribute: it loses to anything already given for this element.
  void AddPropertyValue(int index, const TCssValue& value);

  // --- Cascade. The set is expected on `stack` (its top entry) while these run; with no stack
  // descendant rules are not matched and a link's four fonts are its own.
  void Inherit(std::string_view tag, const TProperties& parent);
  void CombineCascade(TStyleList& styles, TPropStack* stack, std::string_view tag,
                      const std::string& classes, const std::string& id, const std::string& pseudo,
                      const std::string& title, std::shared_ptr<const TProperties> inlineStyle);
  // Inherits again from `source` after an element below this one left the stack.
  void Merge(const TProperties& source, TStyleList& styles, TPropStack& stack, int stackIndex);
  // Merges every rule of the sheet that matches the element, then the inline style; a relative
  // font size is taken against `baseSize` (points).
  void ApplyStyles(const TStyleList& styles, const TPropStack* stack, std::string_view tag,
                   const std::string& classes, const std::string& id, const std::string& pseudo,
                   const TProperties* inlineStyle, double baseSize);
  // Copies every value the rule gives over this set's.
  void MergeItems(const TProperties& source);
  void MergeItems(const TStyleRule& source);

  // --- Fonts and charsets
  // A copy of the set's font, measured once.
  std::unique_ptr<TMyFont> GetFont();
  // The set's font itself; with `share`, the page's one font of that look.
  std::shared_ptr<const TMyFont> SharedFont(TFontShare* share);
  ThtFontInfo GetSingleFontInfo() const;
  void GetFontInfo(TFontInfoArray& target) const;
  void GetBackgroundColor();
  void AssignCharSet(uint8_t charset);
  void AssignUTF8();

  // --- Computed values
  bool GetBackgroundImage(std::string& url) const;
  bool GetVertAlign(int& align) const;
  bool IsOverflowHidden() const;
  bool GetFloat(int& align) const;
  // A clear is taken once: the value is gone afterwards.
  bool GetClear(int& clear);
  int GetListStyleType() const;
  std::string GetListStyleImage() const;
  int GetPosition() const;
  int GetVisibility() const;
  int GetZIndex() const;
  bool DisplayNone() const;
  bool Collapse() const;
  int GetLineHeight(int newHeight) const;
  int GetTextIndent(bool& isPercent) const;
  int GetTextTransform() const;
  std::string GetFontVariant() const;
  void GetPageBreaks(bool& before, bool& after, bool& inside) const;
  TColor GetBoxBackgroundColor() const;
  TColor GetForegroundColor() const;
  int HasBorderStyle() const;
  bool BorderStyleAssigned() const;
  void GetBackgroundPos(int emPixels, int exPixels, TBackgroundPos& pos) const;
  void GetVMarginArray(TVMarginArray& a) const;

  // --- State
  bool IsLink = false;
  std::string DefaultFontName;
  std::string Tag;
  std::string Classes;  // separated by "."
  std::string Id;
  std::string Pseudo;  // "link", "visited", "hover" or empty
  std::string Title;
  std::shared_ptr<const TProperties> InlineStyle;
  TColor TextBackground = clNone;
  uint8_t Charset = 0;
  int32_t CodePage = 0;
  int EmPixels = 0;
  int ExPixels = 0;
  std::array<TCssValue, PropertyCount> Values;
  std::array<bool, PropertyCount> GivenHere{};
  std::unique_ptr<TFontInfoArray> LinkFonts;  // links only
  int32_t SerialNo = 0;

 private:
  void CalcLinkFontInfo(TStyleList& styles, TPropStack& stack, int index);
  // Applies a merged font value to the four link fonts.
  void UpdateLinkFonts(int index, const TCssValue& value);
  void MergeSlot(int index, const TCssValue& value);
  // Builds and measures the font unless it is built already.
  void MakeFont();
  std::shared_ptr<const TMyFont> cachedFont_;
  bool fontShared_ = false;  // cachedFont_ came from a font share
};

// The builder's stack of open elements' properties; entry 0 holds the document defaults.
class TPropStack {
 public:
  int Count() const { return int(items_.size()); }
  TProperties& Items(int index) const { return *items_.at(size_t(index)); }
  TProperties& Last() const { return *items_.back(); }
  TProperties& Add(std::unique_ptr<TProperties> props);
  TProperties& Insert(int index, std::unique_ptr<TProperties> props);
  void Delete(int index);
  // The index of the set, or -1.
  int IndexOf(const TProperties* props) const;

 private:
  std::vector<std::unique_ptr<TProperties>> items_;
};

// The style sheet: rules by selector key (letter case aside); rules with equal keys apply in the
// order they were added.
class TStyleList {
 public:
  struct Entry {
    std::string key;
    TStyleRule rule;
    uint32_t order;      // position in the order added
    uint32_t seqNo = 0;  // the sequence number of a descendant key
    Entry* nextSame = nullptr;
  };

  TStyleList() = default;
  TStyleList(const TStyleList&) = delete;
  TStyleList& operator=(const TStyleList&) = delete;

  int Count() const { return int(entries_.size()); }
  // The first rule added under the key, or nullptr.
  const TStyleRule* FindRule(std::string_view key) const;
  // Merges every rule keyed exactly `key` into `target`, in the order added.
  void MergeRules(std::string_view key, TProperties& target) const;
  // The rules of descendant keys whose subject fits an element with these values and whose
  // nearest ancestor part can match one of `ancestors` (their marks, see AncestorMarks), in key
  // order.
  std::vector<const Entry*> DescendantRules(std::string_view tag, const std::string& classes,
                                            const std::string& id, const std::string& pseudo,
                                            const std::vector<std::string>& ancestors) const;
  // What an element on the stack offers a descendant rule's ancestor part: its tag, "#" and its
  // ID, "." and each of its classes, and "*", which every part without these asks for.
  static void AncestorMarks(const TProperties& element, std::vector<std::string>& marks);
  bool HasDescendantRules() const { return !bySubject_.empty(); }

  void Clear();
  TStyleRule& AddObject(const std::string& key, TStyleRule rule = {});
  // The next sequence number of descendant keys, as text.
  std::string GetSeqNo();
  // The key of a descendant selector: `head` (subject, blank, ancestor count), a sequence number,
  // then the ancestors. A selector written twice in one selector list shares its key; written
  // again in a later list it gets a fresh number, so that it takes effect where it stands.
  std::string DescendantKey(const std::string& head, const std::string& ancestors);
  // A new selector list begins.
  void StartSelectorList() { listSeqNos_.clear(); }
  TStyleRule& AddDuplicate(const std::string& key, const TStyleRule& source);
  void AddOrModifyProperty(const std::string& selector, std::string_view propName,
                           const std::string& value);
  void ModifyLinkColor(std::string_view pseudoName, TColor colour);
  // Empties the sheet and fills in the built-in rules.
  void Initialize(const std::string& fontName, const std::string& preFontName, int pointSize,
                  TColor colour, TColor linkColour, TColor visitedColour, TColor hoverColour,
                  bool underlineLinks, uint8_t charset, int marginHeight, int marginWidth);

  // The "default" rule as a whole property set, with the document's charset and font.
  const TProperties* DefaultProperties() const { return defaultProperties_.get(); }
  // A rule for ":hover" was added since the last clear.
  bool HasHoverRules() const { return hoverRules_; }

 private:
  struct KeyHash {
    size_t operator()(std::string_view key) const;
  };
  struct KeyEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  struct Chain {
    Entry* first;
    Entry* last;
  };
  // Descendant rules with one subject and one mark asked of the nearest ancestor, sorted by
  // key when `sorted`.
  struct Subjects {
    std::vector<const Entry*> entries;
    bool sorted = true;
  };
  using SubjectsByMark = std::unordered_map<std::string, Subjects>;
  Entry* FindEntry(std::string_view key) const;
  void IndexDescendant(Entry& entry);
  void RefreshDefaults();

  std::deque<Entry> entries_;
  std::unordered_map<std::string_view, Chain, KeyHash, KeyEqual> byKey_;
  mutable std::unordered_map<std::string, SubjectsByMark> bySubject_;
  std::unordered_map<std::string, int> listSeqNos_;  // descendant selectors of the current list
  int seqNo_ = 10;
  Entry* defaultRule_ = nullptr;
  uint8_t defaultCharset_ = 0;
  std::string defaultFontName_;
  std::unique_ptr<TProperties> defaultProperties_;
  bool hoverRules_ = false;
};

}  // namespace html

// Folder html/css: CSS properties and their cascade, the style sheet and its parser, colours,
// lengths, fonts and computed values. Uses html/base.
//
// The CSS properties of one element or style rule, the cascade that fills them, and the
// document's style sheet.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/css/CssBoxes.h"
#include "html/css/CssColors.h"
#include "html/css/CssFonts.h"
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
  // Merges every rule of the sheet that matches the element, then the inline style.
  void ApplyStyles(TStyleList& styles, const TPropStack* stack, std::string_view tag,
                   const std::string& classes, const std::string& id, const std::string& pseudo,
                   const TProperties* inlineStyle);
  // Copies every value the rule gives over this set's.
  void MergeItems(const TProperties& source);

  // --- Fonts and charsets
  // A copy of the set's font, measured once.
  std::unique_ptr<TMyFont> GetFont();
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
  std::unique_ptr<TMyFont> cachedFont_;
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

// The style sheet: rules by selector key, in key order (equal keys in the order added).
class TStyleList {
 public:
  TStyleList() = default;
  TStyleList(const TStyleList&) = delete;
  TStyleList& operator=(const TStyleList&) = delete;

  int Count() const { return int(items_.size()); }
  const std::string& Key(int index) const { return items_.at(size_t(index)).key; }
  TProperties& Rule(int index) const { return *items_.at(size_t(index)).rule; }
  // True and the first rule with the key, or false and where it would go.
  bool Find(std::string_view key, int& index) const;

  void Clear();
  TProperties& AddObject(const std::string& key, std::unique_ptr<TProperties> rule);
  // The next sequence number of descendant keys, as text.
  std::string GetSeqNo();
  TProperties& AddDuplicate(const std::string& key, const TProperties& source);
  void AddOrModifyProperty(const std::string& selector, std::string_view propName,
                           const std::string& value);
  void ModifyLinkColor(std::string_view pseudoName, TColor colour);
  // Empties the sheet and fills in the built-in rules.
  void Initialize(const std::string& fontName, const std::string& preFontName, int pointSize,
                  TColor colour, TColor linkColour, TColor visitedColour, TColor hoverColour,
                  bool underlineLinks, uint8_t charset, int marginHeight, int marginWidth);

  TProperties* DefaultProperties() const { return defaultProperties_; }
  // A rule for ":hover" was added since the last clear.
  bool HasHoverRules() const { return hoverRules_; }

 private:
  struct Entry {
    std::string key;
    std::unique_ptr<TProperties> rule;
  };
  std::vector<Entry> items_;
  int seqNo_ = 10;
  TProperties* defaultProperties_ = nullptr;
  bool hoverRules_ = false;
};

}  // namespace html

// The document builder's working state: the tokenizer, the stack of open elements' properties,
// the cell and text section being filled, and one routine per construct of the markup.
#pragma once

#include <array>
#include <bitset>
#include <initializer_list>
#include <memory>
#include <string>

#include "html/css/CssStyles.h"
#include "html/layout/blocks/PageItems.h"
#include "html/layout/text/TextSection.h"
#include "html/parse/DocumentBuilder.h"
#include "html/parse/HtmlReader.h"

namespace html {

class ThtmlForm;

// A set of symbols: where a construct stops without consuming.
class TSymbolSet {
 public:
  TSymbolSet() = default;
  TSymbolSet(std::initializer_list<Symb> symbols) {
    for (Symb s : symbols) bits_.set(s);
  }
  bool Has(Symb s) const { return bits_.test(s); }
  TSymbolSet With(std::initializer_list<Symb> symbols) const {
    TSymbolSet result = *this;
    for (Symb s : symbols) result.bits_.set(s);
    return result;
  }

 private:
  std::bitset<256> bits_;
};

// What an element's style is looked up by: its CLASS, ID, TITLE and STYLE attributes.
struct TStyleKey {
  std::string Classes;
  std::string Id;
  std::string Title;
  std::shared_ptr<const TProperties> Style;
};

class THtmlBuilder : public TTextBuildState {
 public:
  THtmlBuilder(TSectionList& document, TDocumentInfo& info);
  ~THtmlBuilder() override;
  THtmlBuilder(const THtmlBuilder&) = delete;
  THtmlBuilder& operator=(const THtmlBuilder&) = delete;

  void ParseHtml(std::string doc, const TIncludeType& includeEvent, const TSoundType& soundEvent,
                 const TMetaType& metaEvent, const TLinkType& linkEvent);
  void ParseText(std::string doc);

  // TTextBuildState
  TProperties& TopProperties() override { return stack_.Last(); }
  bool NoBreak() const override { return noBreak_; }
  void PushProperties(const std::string& tag) override;
  void PopPropertiesTo(const std::string& tag) override;

 private:
  // --- Set-up, the property stack, sections and cells (DocumentBuilder.cpp)
  void InitParse(std::string doc);
  TStyleKey CurrentStyleKey();
  // False when the stack is full (the element then takes its parent's properties).
  bool Push(const std::string& tag, const TStyleKey& key, const std::string& pseudo = {});
  bool PushCurrent(const std::string& tag, const std::string& pseudo = {});
  void SetFontSizeScale(double basePoints);
  // Opens an inline border for the top set when it names a visible one.
  void OpenInlineBorder();

  void Next() { tok_.GetSymbol(); }
  Symb Sy() const { return tok_.Sy; }
  TSection& EnsureSection();
  void NewSection(TAttributeList* attributes = nullptr);
  void CloseSection();
  // Closes the section with its text ending at textEnd in the source.
  void CloseSectionAt(int32_t textEnd);
  // Where text that ends at the current symbol stands, past the section's last character at
  // lastPos (-1 for none).
  int32_t TextEndPos(int32_t lastPos) const;
  // Adds a block built on the top properties to the current cell and makes its cell current;
  // returns the block and the cell that was current.
  template <class TKind, class... Args>
  TKind& OpenBlock(TCellBasic*& outer, Args&&... args);
  void AddPage();
  // Adds a page marker for a CSS page break before or after the top properties.
  void PageBreakRule();

  // --- Constructs (HtmlBuilderBody.cpp)
  void DoBody(const TSymbolSet& stop);
  void DoBodyTag();
  void DoBlockContainer(const TSymbolSet& stop);
  void DoLists(Symb list, const TSymbolSet& stop);
  // A list or indented block, then its end tag when reached.
  void DoListAndEnd(const TSymbolSet& stop);
  void DoListItem(Symb listSymbol, const TSymbolSet& stop, bool plain, char markerType,
                  int32_t counter);
  // Block containers and lists nested beyond the limit are skipped like unknown tags.
  bool EnterNesting();

  // --- Text level (HtmlBuilderText.cpp)
  // stop: where block content opened inside (DIV in a header) ends.
  void DoTextLevel(const TSymbolSet& stop);
  void DoP(const TSymbolSet& stop);
  void DoHeader(const TSymbolSet& stop);
  void DoBreak();
  void DoRule();
  // Inline tags, also inside PRE: the caller reads on. False for other symbols.
  bool DoInlineTag(bool preformatted);
  void DoInlineStyle();
  void DoAnchor();
  void EndLink();
  void DoFont(bool preformatted);
  void DoText();

  // --- Preformatted text (HtmlBuilderPre.cpp)
  void DoPre();
  void NewPreSection();
  // A line end: the next line goes on in the section when it looks as the section does.
  void EndPreLine();
  // The text read so far (tokenizer's token) goes to the current section.
  void FlushToken();
  // Characters up to a line end, '<' or a control character into the token, entities decoded.
  bool GatherPreText();

  // --- Tables (HtmlBuilderTables.cpp)
  struct TTableWork;
  void DoTable();
  void ReadTable(TTableWork& work);
  // Hands the table (and its caption) to the enclosing cell.
  void FinishTable(TTableWork& work);
  void DoColGroup(TTableWork& work, bool acceptColumns);
  // A row of the given TR (named) or an implied one.
  void OpenRow(TTableWork& work, bool named);
  void OpenCell(TTableWork& work);
  void FinishCell(TTableWork& work);
  void FinishRow(TTableWork& work);
  // Removes the entries above the first `level` ones, closing their inline borders.
  void PopToLevel(int level);

  // --- Raw bodies and head elements (HtmlBuilderHead.cpp)
  void DoTitle();
  void DoStyle();
  void DoLink();
  // The text of a linked sheet (empty when there is none) and where it came from.
  std::string LinkedSheet(const std::string& href, std::string& source);
  void DoScript();
  void DoMeta();
  void DoBase();
  void DoSound();
  // Reads up to and past the end tag named by endTag ("</script") or the end of input.
  void SkipRawBody(const std::string& endTag);
  // Reads a MAP's areas; stops on its end tag (not read past) or on a stray symbol.
  void DoMap();

  // --- Pictures in text (HtmlBuilderImages.cpp)
  void DoImage();

  // --- Host panels: PANEL and OBJECT (HtmlBuilderPanels.cpp)
  void DoPanel();
  void DoObject();

  // --- Forms and their controls (HtmlBuilderForms.cpp)
  void DoInput();
  void DoTextArea();
  // Reads a SELECT's options; stops on its end tag (not read past) or a symbol that ends it.
  void DoSelect();
  // The form controls join; a control outside any FORM makes one.
  ThtmlForm& CurrentForm();
  // The element's properties pushed, fn(section, form, properties) run, then popped.
  template <class Fn>
  void WithControlProperties(const std::string& tag, Fn fn);

  TSectionList& document_;
  TDocumentInfo& info_;
  THtmlTokenizer tok_;
  TCharCollection preText_;  // a PRE line's 8-bit text, kept for its memory: one PRE has many
  TPropStack stack_;
  TCellBasic* cell_ = nullptr;
  std::unique_ptr<TSection> section_;
  // Sections made so far: tells a section from a later one made at a freed one's address.
  uint64_t sectionsMade_ = 0;
  TBodyBlock* body_ = nullptr;
  TUrlTarget link_;
  bool inLink_ = false;
  int baseFontSize_ = 3;
  int listLevel_ = 0;
  int tableDepth_ = 0;
  int nesting_ = 0;
  bool noBreak_ = false;
  bool utf8_ = false;
  ThtmlForm* form_ = nullptr;  // the FORM being read
  std::array<double, 7> fontSizes_{};
  std::array<double, 7> preFontSizes_{};
  TSoundType soundEvent_;
  TMetaType metaEvent_;
  TLinkType linkEvent_;
};

template <class TKind, class... Args>
TKind& THtmlBuilder::OpenBlock(TCellBasic*& outer, Args&&... args) {
  auto block =
      std::make_unique<TKind>(&document_, stack_.Last(), cell_, std::forward<Args>(args)...);
  TKind& result = *block;
  cell_->Add(std::move(block), tok_.TagStart);
  outer = cell_;
  cell_ = &result.Content;
  return result;
}

}  // namespace html

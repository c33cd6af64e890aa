// Pages built from hand-written HTML and a compact outline of the items they became.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/layout/blocks/PageItems.h"
#include "html/layout/tables/Tables.h"
#include "html/layout/text/TextSection.h"
#include "html/parse/DocumentBuilder.h"

namespace buildertest {

// The text of a section: BR as '|', the end of a PRE line as '/', no-break space as '_', other
// characters as ASCII or '?'.
inline std::string Plain(const html::TSection& section) {
  std::string result;
  for (size_t i = 0; i < section.Text.size(); ++i) {
    const char16_t ch = section.Text[i];
    if (ch == html::kLineBreakChar)
      result += '|';
    else if (section.BreakFlags[i] == html::kBreakLineEnd)
      result += '/';
    else if (ch == html::kNoBreakSpace)
      result += '_';
    else
      result += ch < 128 ? char(ch) : '?';
  }
  return result;
}

inline std::string Outline(const html::TCellBasic& cell);

// Rows separated by " / ", cells by " | ".
inline std::string Outline(const html::ThtmlTable& table) {
  std::string result;
  for (int row = 0; row < table.RowList.Count(); ++row) {
    if (row > 0) result += " / ";
    const html::TCellList& cells = *table.RowList.Items(row);
    for (int col = 0; col < cells.Count(); ++col)
      result += (col > 0 ? " | " : "") + Outline(*cells.Items(col)->Content);
  }
  return result;
}

// Blocks by tag ("p[...]", list items as "li3[...]" with their number), tables "table[...]",
// rules "hr", page markers "page", text sections in quotes without their final space; items of a
// cell separated by spaces.
inline std::string Outline(const html::TCellBasic& cell) {
  std::string result;
  for (const auto& item : cell) {
    if (!result.empty()) result += ' ';
    if (dynamic_cast<const html::THRBlock*>(item.get())) {
      result += "hr";
    } else if (auto* table = dynamic_cast<const html::TTableBlock*>(item.get())) {
      result += "table[" + Outline(*table->Table) + "]";
    } else if (auto* block = dynamic_cast<const html::TBlock*>(item.get())) {
      const std::string& tagAndClass = block->Style().TagAndClass;
      std::string tag = tagAndClass.substr(0, tagAndClass.find('.'));
      if (auto* li = dynamic_cast<const html::TBlockLI*>(block))
        tag = "li" + std::to_string(li->ItemNumber);
      result += tag + "[" + Outline(block->Content) + "]";
    } else if (auto* section = dynamic_cast<const html::TSection*>(item.get())) {
      // Every finished section ends with one space.
      std::string text = Plain(*section);
      if (text.ends_with(' ')) text.pop_back();
      result += "'" + text + "'";
    } else if (dynamic_cast<const html::TPage*>(item.get())) {
      result += "page";
    } else {
      result += "?";
    }
  }
  return result;
}

// Bold, italic and underline of a run.
inline int Styles(const html::TFontObj& run) {
  return run.Font->Style() & (plat::fsBold | plat::fsItalic | plat::fsUnderline);
}

class BuilderFixture : public testing::Test {
 protected:
  BuilderFixture() : document(nullptr, nullptr) { Reset(); }

  // An empty document with the viewer's defaults (clearing drops the style sheet too).
  void Reset() {
    document.Clear();
    document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0x0000FF,
                           0xFFFFFF, false, true, 0, 8, 10);
  }

  // The outline of the body's content.
  std::string Build(const std::string& page) {
    Reset();
    html::ParseHtmlDocument(page, document, {}, {}, {}, {}, &info);
    return Outline(Body().Content);
  }
  html::TBlock& Body() const { return dynamic_cast<html::TBlock&>(*document.First()); }

  // Every text section in document order.
  std::vector<const html::TSection*> Sections() const {
    std::vector<const html::TSection*> found;
    Collect(document, found);
    return found;
  }
  const html::TSection& SectionWith(const std::string& text) const {
    for (const html::TSection* section : Sections())
      if (Plain(*section).find(text) != std::string::npos) return *section;
    throw std::runtime_error("no section holds " + text);
  }
  // The block whose own cell holds the section with text.
  const html::TBlock& BlockHolding(const std::string& text) const {
    const html::TSection& section = SectionWith(text);
    if (const html::TBlock* found = Holder(Body(), &section)) return *found;
    throw std::runtime_error("no block holds " + text);
  }
  // The font run in force at the first character of text.
  const html::TFontObj& RunAt(const std::string& text) const {
    const html::TSection& section = SectionWith(text);
    const int32_t at = int32_t(Plain(section).find(text));
    const html::TFontObj* found = nullptr;
    for (const auto& run : section.Fonts)
      if (run->StartPos <= at) found = run.get();
    return *found;
  }

  html::TSectionList document;
  html::TDocumentInfo info;

 private:
  static const html::TBlock* Holder(const html::TBlock& block, const html::TSection* section) {
    for (const auto& item : block.Content) {
      if (item.get() == section) return &block;
      if (auto* inner = dynamic_cast<const html::TBlock*>(item.get()))
        if (const html::TBlock* found = Holder(*inner, section)) return found;
    }
    return nullptr;
  }
  static void Collect(const html::TCellBasic& cell, std::vector<const html::TSection*>& found) {
    for (const auto& item : cell) {
      if (auto* table = dynamic_cast<const html::TTableBlock*>(item.get())) {
        for (const auto& row : table->Table->RowList)
          for (const auto& tableCell : *row) Collect(*tableCell->Content, found);
      } else if (auto* block = dynamic_cast<const html::TBlock*>(item.get())) {
        Collect(block->Content, found);
      } else if (auto* section = dynamic_cast<const html::TSection*>(item.get())) {
        found.push_back(section);
      }
    }
  }
};

}  // namespace buildertest

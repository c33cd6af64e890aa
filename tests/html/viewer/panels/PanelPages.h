// Pages with host panels built into a document without a viewer, with recording host hooks.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "html/layout/blocks/PageItems.h"
#include "html/layout/text/TextSection.h"
#include "html/parse/DocumentBuilder.h"
#include "html/viewer/Panels.h"

namespace paneltest {

// What the host hooks saw.
struct TCreated {
  std::string Name, Type, Src;
  html::ThvPanel* Panel;
};

class PanelPageTest : public testing::Test {
 protected:
  PanelPageTest() : document(nullptr, nullptr) {
    document.PanelCreate = [this](plat::TObject*, const std::string& name, const std::string& type,
                                  const std::string& src, html::ThvPanel* panel) {
      created.push_back({name, type, src, panel});
      if (OnCreate) OnCreate(*panel);
    };
    document.PanelDestroy = [this](plat::TObject*, html::ThvPanel* panel) {
      destroyed.push_back(panel);
    };
  }

  void Build(const std::string& page, const html::TIncludeType& include = {}) {
    document.Clear();
    document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0x0000FF,
                           0xFFFFFF, false, true, 0, 8, 10);
    html::ParseHtmlDocument(page, document, include);
  }

  // The panel objects in the order the page made them.
  std::vector<html::TPanelObj*> Panels() const {
    std::vector<html::TPanelObj*> found;
    for (html::TPageWindowObj* window : document.Panels)
      found.push_back(dynamic_cast<html::TPanelObj*>(window));
    return found;
  }
  html::TPanelObj& OnlyPanel() const {
    const auto panels = Panels();
    if (panels.size() != 1) throw std::runtime_error("not exactly one panel");
    return *panels.front();
  }

  // Every text section in document order.
  std::vector<html::TSection*> Sections() const {
    std::vector<html::TSection*> found;
    Collect(document, found);
    return found;
  }
  // The text of every section, objects as '#', without the final space of each; lines and sections
  // are parted by '/'.
  std::string AllText() const {
    std::string result;
    for (const html::TSection* section : Sections()) {
      std::string text;
      for (size_t i = 0; i < section->Text.size(); ++i) {
        const char16_t ch = section->Text[i];
        text += ch == html::kObjectChar                         ? '#'
                : section->BreakFlags[i] == html::kBreakLineEnd ? '/'
                                                                : char(ch);
      }
      if (text.ends_with(' ')) text.pop_back();
      result += (result.empty() ? "" : "/") + text;
    }
    return result;
  }

  // Before the document: its hooks still record while it is freed.
  std::vector<TCreated> created;
  std::vector<html::ThvPanel*> destroyed;
  std::function<void(html::ThvPanel&)> OnCreate;
  html::TSectionList document;

 private:
  static void Collect(const html::TCellBasic& cell, std::vector<html::TSection*>& found) {
    for (const auto& item : cell) {
      if (auto* block = dynamic_cast<html::TBlock*>(item.get()))
        Collect(block->Content, found);
      else if (auto* section = dynamic_cast<html::TSection*>(item.get()))
        found.push_back(section);
    }
  }
};

}  // namespace paneltest

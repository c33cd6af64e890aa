// Documents, sections and objects for the text tests: sections are filled the way the builder
// fills them, through a stand-in for its property stack.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "html/layout/text/TextSection.h"

namespace texttest {

inline constexpr const char* kFamily = "DejaVu Sans";

// Properties of plain black text in the test family.
inline std::unique_ptr<html::TProperties> TextProps(double points = 12) {
  auto props = std::make_unique<html::TProperties>();
  props->DefaultFontName = kFamily;
  props->Values[html::piFontFamily] = std::string(kFamily);
  props->Values[html::piFontSize] = points;
  props->Values[html::piColor] = int32_t(0);
  return props;
}

// The builder's stack: "small" sets are pushed at four fifths of the size below them.
class TStubBuildState : public html::TTextBuildState {
 public:
  TStubBuildState() { stack_.push_back(TextProps()); }
  html::TProperties& TopProperties() override { return *stack_.back(); }
  bool NoBreak() const override { return noBreak; }
  void PushProperties(const std::string& tag) override {
    const double size = html::VarToDouble(TopProperties().Values[html::piFontSize]);
    auto props = TextProps(tag == "small" ? size * 0.8 : size);
    props->Tag = tag;
    stack_.push_back(std::move(props));
  }
  void PopPropertiesTo(const std::string& tag) override {
    while (stack_.size() > 1) {
      const bool found = stack_.back()->Tag == tag;
      stack_.pop_back();
      if (found) return;
    }
  }
  int Depth() const { return int(stack_.size()); }

  bool noBreak = false;

 private:
  std::vector<std::unique_ptr<html::TProperties>> stack_;
};

// Appends text as one token whose characters come from source positions first, first + 1, ...
inline void AddText(html::TSection& section, std::u16string_view text, int32_t first) {
  html::TokenObj token;
  for (size_t i = 0; i < text.size(); ++i) token.AddUnicodeChar(text[i], first + int32_t(i));
  section.AddTokenObj(token);
}

// A picture of fixed size that counts what is asked of it.
class TTestObject : public html::TFloatingObj {
 public:
  TTestObject(int32_t width, int32_t height, uint8_t align) {
    ImageWidth = width;
    ImageHeight = height;
    ObjAlign = align;
  }
  void ComputeSize(plat::TCanvas&, int32_t, int32_t, const html::TMyFont&) override { ++Sizings; }
  void DrawInline(plat::TCanvas&, const html::TInlinePlace& place) override {
    DrawnAt.push_back(place.X);
  }
  void DrawFloat(plat::TCanvas&, int32_t x, int32_t top) override {
    FloatDrawnAt.push_back({x, top});
  }
  int Sizings = 0;
  std::vector<int32_t> DrawnAt;
  std::vector<plat::TPoint> FloatDrawnAt;
};

// A form control outside any form and document that records where it was shown.
class TTestControl : public html::TFormControlObj {
 public:
  TTestControl() : TFormControlObj(nullptr, nullptr, NoAttributes(), NoProperties()) {
    SetWindow(std::make_unique<plat::TWinControl>(nullptr));
    TheControl()->SetBounds(0, 0, 30, 20);
  }
  void ShowAt(int32_t x, int32_t y) override { Shown.push_back({x, y}); }
  std::vector<plat::TPoint> Shown;

 private:
  static const html::TAttributeList& NoAttributes() {
    static const html::TAttributeList none;
    return none;
  }
  static const html::TProperties& NoProperties() {
    static const html::TProperties none;
    return none;
  }
};

// A document with one section being built under the stub builder state.
class TextFixture : public testing::Test {
 protected:
  TextFixture() : document(nullptr, nullptr), scope(state) {}

  html::TSection& NewSection(html::TProperties* props = nullptr,
                             const html::TUrlTarget* link = nullptr) {
    sections.push_back(std::make_unique<html::TSection>(
        &document, nullptr, props ? *props : state.TopProperties(), link, nullptr, true));
    return *sections.back();
  }
  // A finished section of text.
  html::TSection& Finished(std::u16string_view text, html::TProperties* props = nullptr) {
    html::TSection& section = NewSection(props);
    AddText(section, text, 0);
    section.ProcessText(int32_t(text.size()));
    return section;
  }

  // Width of text in the font of a run, measured independently of the section.
  static int32_t Width(const html::TFontObj& run, std::u16string_view text) {
    plat::DeviceContext dc;
    dc.SelectFont(run.Font->LogFont());
    return dc.GetTextExtent(text).cx;
  }

  html::TSectionList document;
  TStubBuildState state;
  html::TTextBuildScope scope;
  std::vector<std::unique_ptr<html::TSection>> sections;
};

}  // namespace texttest

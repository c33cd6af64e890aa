// Text sections filled from arbitrary bytes (text with every special character, font changes,
// links, objects, no-break stretches), then tidied, measured, laid out at widths taken from the
// input and painted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "html/layout/text/TextSection.h"
#include "platform/windows/QtRuntime.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  return 0;
}

namespace {

std::unique_ptr<html::TProperties> Props(uint8_t code) {
  auto props = std::make_unique<html::TProperties>();
  props->DefaultFontName = "DejaVu Sans";
  props->Values[html::piFontFamily] = std::string("DejaVu Sans");
  props->Values[html::piFontSize] = double(4 + code % 20);
  props->Values[html::piColor] = int32_t(0);
  if (code & 0x20) props->Values[html::piFontStyle] = std::string("italic");
  if (code & 0x40) props->Values[html::piVerticalAlign] = std::string("super");
  if (code & 0x80) props->TextBackground = 0xFF;
  return props;
}

class State : public html::TTextBuildState {
 public:
  State() { stack.push_back(Props(8)); }
  html::TProperties& TopProperties() override { return *stack.back(); }
  bool NoBreak() const override { return noBreak; }
  void PushProperties(const std::string&) override { stack.push_back(Props(3)); }
  void PopPropertiesTo(const std::string&) override {
    if (stack.size() > 1) stack.pop_back();
  }
  std::vector<std::unique_ptr<html::TProperties>> stack;
  bool noBreak = false;
};

class Object : public html::TFloatingObj {
 public:
  Object(uint8_t a, uint8_t b) {
    ImageWidth = a % 64;
    ImageHeight = b % 48;
    ObjAlign = uint8_t(1 + (a + b) % 6);
    HSpaceL = b % 3;
    VSpaceB = a % 3;
  }
  void ComputeSize(plat::TCanvas&, int32_t, int32_t, const html::TMyFont&) override {}
  void DrawInline(plat::TCanvas&, const html::TInlinePlace&) override {}
  void DrawFloat(plat::TCanvas&, int32_t, int32_t) override {}
};

// Besides the special characters: surrogate pairs, combining marks, joiners, emoji modifiers and
// flags, whole or (by the unit) halved.
constexpr char16_t kAlphabet[] =
    u"ab -?\u00A0\u00AD\b\u3042xyz\U0001F600\u0301\u200D\U0001F3FD\U0001F1E9\U0001F1EA\u3099";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > 32768) return 0;
  State state;
  html::TTextBuildScope scope(state);
  html::TSectionList document(nullptr, nullptr);
  if (data[0] & 1) state.TopProperties().Values[html::piTextAlign] = std::string("justify");
  if (data[0] & 2) state.TopProperties().Values[html::piWordWrap] = std::string("break-word");
  if (data[0] & 4) state.TopProperties().Values[html::piFontVariant] = std::string("small-caps");
  if (data[0] & 8) state.TopProperties().Values[html::piLineHeight] = std::string("7px");
  auto section = std::make_unique<html::TSection>(&document, nullptr, state.TopProperties(),
                                                  nullptr, nullptr, true);
  std::vector<std::unique_ptr<html::TUrlTarget>> links;
  int32_t source = 0;
  for (size_t i = 1; i + 1 < size; i += 2) {
    const uint8_t op = data[i], arg = data[i + 1];
    switch (op % 8) {
      case 0:
      case 1:
      case 2: {
        html::TokenObj token;
        for (int k = 0; k <= arg % 6; ++k)
          token.AddUnicodeChar(
              kAlphabet[(arg + k * (op % 3 == 0 ? 1 : op)) % (std::size(kAlphabet) - 1)], source++);
        section->AddTokenObj(token);
        break;
      }
      case 3: {
        auto props = Props(arg);
        section->ChangeFont(*props);
        break;
      }
      case 4: {
        auto link = std::make_unique<html::TUrlTarget>();
        link->URL = arg & 1 ? "x" : "";
        link->ID = arg % 5;
        link->TabIndex = arg % 3;
        section->SetLink(arg & 1, state.TopProperties(), *link);
        links.push_back(std::move(link));
        break;
      }
      case 5:
        section->AddFloatingObj(std::make_unique<Object>(arg, op), source++);
        break;
      case 6:
        state.noBreak = !state.noBreak;
        break;
      default:
        section->ForceBreakAtEnd();
        break;
    }
  }
  section->ProcessText(source);
  std::vector<uint32_t> pixels(64 * 48, 0xFFFFFFFFu);
  plat::DeviceContext dc(pixels.data(), 64, 48, 64 * 4);
  plat::TCanvas canvas(&dc);
  int32_t minWidth = 0, maxWidth = 0;
  section->MinMaxWidth(canvas, minWidth, maxWidth);
  html::IndentManager indents;
  for (int32_t width : {int32_t(data[1] % 80), minWidth, maxWidth}) {
    indents.Clear();
    indents.Reset(0, width);
    if (data[2] & 1) indents.AddBlockFloat(0, data[3] % 40, html::TFloatSide::Left, data[2] % 30);
    int32_t pos = 0, widest = 0;
    section->Layout(canvas, 0, 0, 0, 0, width, 0, 0, indents, widest, pos);
    document.SelStart = data[2] % 8;
    document.SelEnd = data[3] % 16;
    document.ImageDrawList.Clear();
    section->Draw(canvas, {0, 0, 64, 48}, indents, 0, 0, 0);
  }
  return 0;
}

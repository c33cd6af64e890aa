#include "app/mainwindow/TextHints.h"

#include "platform/drawing/Colors.h"
#include "platform/drawing/FontFamilies.h"

namespace app {
namespace {

constexpr std::string_view Indent = "  ";
constexpr std::string_view Break = "\n";

// The colour's text without its first two characters: "clNavy" shows as "Navy".
std::string ShortColorText(plat::TColor color) {
  const std::string text = plat::ColorToString(color);
  return text.size() > 2 ? text.substr(2) : std::string();
}

class THintBuilder {
 public:
  // One indented entry and its line break.
  THintBuilder& Entry(std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    text_.append(Indent).append(a).append(b).append(c).append(Indent).append(Break);
    return *this;
  }
  THintBuilder& LineBreak() {
    text_ += Break;
    return *this;
  }
  std::string Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace

std::string BuildTextHint(std::string_view text, const TSettingsValues& look) {
  THintBuilder hint;
  hint.LineBreak().Entry(HintTitle).LineBreak();
  hint.Entry(text).LineBreak();
  // The face the text comes out in, also when the chosen one is not installed.
  hint.Entry(HintFontLabel, plat::DrawnFontFamily(look.FontName));
  hint.Entry(HintSizeLabel, look.FontSizeText);
  hint.Entry(HintColorLabel, ShortColorText(look.FontColor));
  hint.Entry("BG", HintColorLabel, ShortColorText(look.BackColor));
  if (look.TextBold) hint.Entry(HintBoldWord);
  if (look.TextItalic) hint.Entry(HintItalicWord);
  return hint.LineBreak().Text();
}

}  // namespace app

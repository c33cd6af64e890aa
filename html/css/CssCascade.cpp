#include <algorithm>

#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"
#include "platform/drawing/DeviceContext.h"

namespace html {

namespace {

constexpr double kPixelsPerInch = plat::kFontPixelsPerInch;
// Em heights outside this range make no sense on a page and are clamped.
constexpr int kLargestEmPixels = 2000;
constexpr int kLargestLetterSpacing = 1000;

}  // namespace

// ---- The stack of open elements

TProperties& TPropStack::Add(std::unique_ptr<TProperties> props) {
  items_.push_back(std::move(props));
  return *items_.back();
}

TProperties& TPropStack::Insert(int index, std::unique_ptr<TProperties> props) {
  const size_t at = std::min(size_t(std::max(index, 0)), items_.size());
  return **items_.insert(items_.begin() + ptrdiff_t(at), std::move(props));
}

void TPropStack::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

int TPropStack::IndexOf(const TProperties* props) const {
  for (int i = Count() - 1; i >= 0; --i)
    if (items_[size_t(i)].get() == props) return i;
  return -1;
}

// ---- Cascade

void TProperties::CombineCascade(TStyleList& styles, TPropStack* stack, std::string_view tag,
                                 const std::string& classes, const std::string& id,
                                 const std::string& pseudo, const std::string& title,
                                 std::shared_ptr<const TProperties> inlineStyle) {
  // Relative font sizes are taken against the inherited size, however many runs merge them.
  const TCssValue& size = Values[piFontSize];
  const double baseSize =
      VarIsDouble(size) && VarToDouble(size) > 0 ? VarToDouble(size) : DefaultPointSize();
  const std::string trimmed = Trim(classes);
  const size_t lastDot = trimmed.rfind('.');
  if (lastDot == std::string::npos) {
    ApplyStyles(styles, stack, tag, trimmed, id, pseudo, inlineStyle.get(), baseSize);
  } else {
    // Each class alone, the last one and the whole list with the inline style: later merges win.
    size_t start = 0;
    for (size_t dot = trimmed.find('.'); dot != std::string::npos;
         start = dot + 1, dot = trimmed.find('.', start))
      ApplyStyles(styles, stack, tag, trimmed.substr(start, dot - start), id, pseudo, nullptr,
                  baseSize);
    ApplyStyles(styles, stack, tag, trimmed.substr(lastDot + 1), id, pseudo, inlineStyle.get(),
                baseSize);
    ApplyStyles(styles, stack, tag, classes, id, pseudo, inlineStyle.get(), baseSize);
  }
  Tag = std::string(tag);
  Classes = classes;
  Id = id;
  Pseudo = pseudo;
  InlineStyle = std::move(inlineStyle);
  if (!title.empty()) Title = title;
  if (Pseudo == "link") {
    if (!LinkFonts) LinkFonts = std::make_unique<TFontInfoArray>();
    const int index = stack ? stack->IndexOf(this) : -1;
    if (index >= 0) {
      CalcLinkFontInfo(styles, *stack, index);
    } else {
      // Off the builder's stack the states are not styled apart.
      GetBackgroundColor();
      LinkFonts->Ar.fill(GetSingleFontInfo());
    }
    IsLink = true;
  }
}

void TProperties::Merge(const TProperties& source, TStyleList& styles, TPropStack& stack,
                        int stackIndex) {
  for (int i = 0; i < PropertyCount; ++i)
    if (!GivenHere[size_t(i)]) Values[size_t(i)] = source.Values[size_t(i)];
  cachedFont_.reset();
  fontShared_ = false;
  if (!LinkFonts) return;
  if (source.IsLink) {
    if (source.LinkFonts) *LinkFonts = *source.LinkFonts;
  } else if (Pseudo != "link") {
    LinkFonts.reset();
    IsLink = false;
  } else {
    CalcLinkFontInfo(styles, stack, stackIndex);
  }
}

void TProperties::CalcLinkFontInfo(TStyleList& styles, TPropStack& stack, int index) {
  GetBackgroundColor();
  TFontInfoArray fonts;
  fonts.Ar[TFontInfoArray::Link] = GetSingleFontInfo();
  // The visited state, then the hovered one on top of it, each a temporary entry above this.
  auto styleState = [&](int at, int parent, const char* pseudo) -> TProperties& {
    TProperties& state = stack.Insert(at, std::make_unique<TProperties>());
    state.Inherit("", stack.Items(parent));
    state.CombineCascade(styles, &stack, Tag, Classes, Id, pseudo, Title, InlineStyle);
    state.GetBackgroundColor();
    return state;
  };
  fonts.Ar[TFontInfoArray::Visited] = styleState(index + 1, index, "visited").GetSingleFontInfo();
  fonts.Ar[TFontInfoArray::VisitedHover] =
      styleState(index + 2, index + 1, "hover").GetSingleFontInfo();
  stack.Delete(index + 2);
  stack.Delete(index + 1);
  fonts.Ar[TFontInfoArray::Hover] = styleState(index + 1, index, "hover").GetSingleFontInfo();
  stack.Delete(index + 1);
  if (!LinkFonts) LinkFonts = std::make_unique<TFontInfoArray>();
  *LinkFonts = fonts;
}

// ---- Fonts

ThtFontInfo TProperties::GetSingleFontInfo() const {
  ThtFontInfo info;
  info.BackgroundColor = TextBackground;
  info.Color = VarToInt(Values[piColor]);
  const std::string weight = VarToStr(Values[piFontWeight]);
  if (Contains(weight, "bold") || VarToInt(Values[piFontWeight], 0) >= 600)
    info.Style |= plat::fsBold;
  if (VarIs(Values[piFontStyle], "italic") || VarIs(Values[piFontStyle], "oblique"))
    info.Style |= plat::fsItalic;
  if (VarIs(Values[piTextDecoration], "underline")) info.Style |= plat::fsUnderline;
  if (VarIs(Values[piTextDecoration], "line-through")) info.Style |= plat::fsStrikeOut;
  info.Size = VarToDouble(Values[piFontSize], DefaultPointSize());
  info.Charset = Charset;
  info.LetterSpacing = Values[piLetterSpacing];
  info.Name = PickFontFamily(VarToStr(Values[piFontFamily]));
  if (info.Name.empty()) info.Name = DefaultFontName;
  return info;
}

void TProperties::MakeFont() {
  if (!cachedFont_) {
    const ThtFontInfo info = GetSingleFontInfo();
    auto font = std::make_unique<TMyFont>();
    font->SetName(info.Name);
    const int em = std::clamp(RoundClamped(kPixelsPerInch * info.Size / 72), 1, kLargestEmPixels);
    font->SetHeight(-em);
    font->SetStyle(info.Style);
    font->SetColor(info.Color);
    font->SetCharset(info.Charset);
    font->BackgroundColor = info.BackgroundColor;

    const plat::TTextMetric metric = MeasureFont(*font);
    EmPixels = metric.Height - metric.InternalLeading;
    ExPixels = EmPixels / 2;

    const TCssValue& spacing = Values[piLetterSpacing];
    int letterSpacing = 0;
    if (VarIsInteger(spacing))
      letterSpacing = VarToInt(spacing);
    else if (const std::string* text = VarString(spacing); text && *text != "normal")
      letterSpacing = LengthConv(*text, false, EmPixels, EmPixels, ExPixels, 0);
    font->LetterSpacing = std::clamp(letterSpacing, -kLargestLetterSpacing, kLargestLetterSpacing);
    cachedFont_ = std::move(font);
  }
}

std::unique_ptr<TMyFont> TProperties::GetFont() {
  MakeFont();
  auto copy = std::make_unique<TMyFont>();
  copy->Assign(*cachedFont_);
  return copy;
}

std::shared_ptr<const TMyFont> TProperties::SharedFont(TFontShare* share) {
  MakeFont();
  if (share && !fontShared_) {
    cachedFont_ = share->Share(cachedFont_);
    fontShared_ = true;
  }
  return cachedFont_;
}

}  // namespace html

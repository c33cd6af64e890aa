// PRE sections: no wrapping, so the minimum width is the whole line (up to a limit that keeps a
// table column from growing without end).
#include "html/layout/text/PreformattedText.h"

#include <algorithm>

namespace html {

namespace {
// The widest minimum a preformatted section asks for.
constexpr int32_t kMaxPreformattedMinWidth = 6000;
}  // namespace

TPreFormated::TPreFormated(TSectionList* owner, TAttributeList* attributes, TProperties& prop,
                           const TUrlTarget* link, TCellBasic* cell, bool firstSection)
    : TSection(owner, attributes, prop, link, cell, firstSection) {}

TPreFormated::TPreFormated(TSectionList* owner, const TPreFormated& source)
    : TSection(owner, source) {}

std::unique_ptr<TSectionBase> TPreFormated::CreateCopy(TSectionList* document) const {
  return std::make_unique<TPreFormated>(document, *this);
}

int32_t TPreFormated::ClosingSourcePos(int32_t tagIndex) const {
  const bool lineHasText = SourcePos && !SourcePos->empty() && BreakFlags.back() != kBreakLineEnd;
  return lineHasText ? SourcePos->back() + 1 : tagIndex;
}

void TPreFormated::ProcessText(int tagIndex) {
  const int32_t pos = ClosingSourcePos(tagIndex);
  AppendText(u" ", &pos, kBreakOrdinary);
  FinishText();
}

void TPreFormated::EndLine(int32_t tagIndex) {
  const int32_t pos = ClosingSourcePos(tagIndex);
  AppendText(u" ", &pos, kBreakLineEnd);
}

int32_t TPreFormated::TextWidth(plat::TCanvas& canvas) {
  if (textWidth_ >= 0) return textWidth_;
  textWidth_ = 0;
  const int32_t length = int32_t(Text.size());
  for (int32_t start = 0; start < length;) {
    const int32_t end = LineEnd(start);
    textWidth_ = std::max(textWidth_, MeasureTextWidth(canvas, start, end - start, true));
    start = end;
  }
  return textWidth_;
}

void TPreFormated::MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) {
  if (BreakWord) {
    TSection::MinMaxWidth(canvas, minWidth, maxWidth);
    return;
  }
  maxWidth = TextWidth(canvas);
  minWidth = std::min(kMaxPreformattedMinWidth, maxWidth);
}

int32_t TPreFormated::Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX,
                             int32_t refY, int32_t availWidth, int32_t availHeight,
                             int32_t blockHeight, IndentManager& indents, int32_t& maxWidth,
                             int32_t& pos) {
  if (BreakWord)
    return TSection::Layout(canvas, x, y, refX, refY, availWidth, availHeight, blockHeight, indents,
                            maxWidth, pos);
  const int32_t height = TSection::Layout(canvas, x, y, refX, refY, availWidth, availHeight,
                                          blockHeight, indents, maxWidth, pos);
  maxWidth = TextWidth(canvas);
  return height;
}

}  // namespace html

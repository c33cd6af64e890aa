// The text section of PRE: its lines are never wrapped, so its widths are those of its text.
// Lines that look alike share one section, each ended by a space marked as the line's end,
// which stands where a section of its own would have its closing space.
#pragma once

#include "html/layout/text/TextSection.h"

namespace html {

class TPreFormated : public TSection {
 public:
  TPreFormated(TSectionList* owner, TAttributeList* attributes, TProperties& prop,
               const TUrlTarget* link, TCellBasic* cell, bool firstSection);
  TPreFormated(TSectionList* owner, const TPreFormated& source);

  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* document) const override;
  // Ends the text with one space, kept like any other character.
  void ProcessText(int tagIndex) override;
  // Ends the line read so far with its closing space.
  void EndLine(int32_t tagIndex);
  void MinMaxWidth(plat::TCanvas& canvas, int32_t& minWidth, int32_t& maxWidth) override;
  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override;
  bool IsPreformatted() const override { return true; }

 private:
  // Where the closing space of the line read so far stands in the source: just past its last
  // character, or at tagIndex for an empty line.
  int32_t ClosingSourcePos(int32_t tagIndex) const;
  // The width of the widest line, measured once.
  int32_t TextWidth(plat::TCanvas& canvas);

  int32_t textWidth_ = -1;
};

}  // namespace html

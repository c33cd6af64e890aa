// Document positions of a text section against source offsets and characters, and its share
// of the selection.
#include <algorithm>

#include "html/layout/text/TextSectionQueries.h"

namespace html {

int32_t SectionDocToSourcePos(const TSection& section, int32_t pos) {
  if (section.Text.empty() || pos < section.FirstPos) return -1;
  return section.SourcePosOf(pos - section.FirstPos);
}

int32_t SectionSourceToDocPos(const TSection& section, int32_t sourcePos, bool backwards) {
  const TCompactVector<IndexObj>& runs = section.SourceIndex;
  const int32_t length = std::min(section.PosCount, int32_t(section.Text.size()));
  if (runs.empty() || length == 0) return -1;
  // Run k covers the characters from its Pos to the next run's; the source offsets of its
  // characters follow one another.
  const auto runEnd = [&](size_t k) {
    return std::clamp(k + 1 < runs.size() ? runs[k + 1].Pos : length, runs[k].Pos, length);
  };
  if (sourcePos < runs.front().Index) return backwards ? -1 : section.FirstPos;
  // Where the runs follow the source in order, the answer lies in the last run starting at or
  // before sourcePos: found by search, as many look-ups a page may ask.
  size_t k = 0;
  if (section.SourceRising) {
    k = size_t(std::upper_bound(runs.begin(), runs.end(), sourcePos,
                                [](int32_t p, const IndexObj& run) { return p < run.Index; }) -
               runs.begin()) -
        1;
  }
  for (; k < runs.size(); ++k) {
    const int32_t count = runEnd(k) - runs[k].Pos;
    const int64_t offset = int64_t(sourcePos) - runs[k].Index;
    if (offset >= 0 && offset < count) return section.FirstPos + runs[k].Pos + int32_t(offset);
    // In the gap before the next run (a tag, say).
    if (offset >= count && k + 1 < runs.size() && sourcePos < runs[k + 1].Index)
      return section.FirstPos + (backwards ? runEnd(k) - 1 : runEnd(k));
  }
  return backwards ? section.FirstPos + length - 1 : -1;
}

bool SectionGetCharAt(TSection& section, int32_t pos, char16_t& ch, TSectionBase*& item) {
  const int64_t p = int64_t(pos) - section.FirstPos;
  if (p < 0 || p >= int64_t(section.Text.size())) return false;
  ch = section.Text[size_t(p)];
  item = &section;
  return true;
}

void SectionCopySelectedText(const TSection& section) {
  SelTextCount* buffer = section.Document->SelBuffer;
  if (!buffer || section.Text.empty()) return;
  const int64_t selStart = int64_t(section.Document->SelStart) - section.FirstPos;
  const int64_t selEnd = int64_t(section.Document->SelEnd) - section.FirstPos;
  const int64_t length = int64_t(section.Text.size());
  if (selEnd <= selStart || selEnd <= 0 || selStart >= length) return;
  for (const auto& line : section.Lines) {
    const int64_t lineStart = line.StartIndex;
    const int64_t from = std::max<int64_t>(selStart - lineStart, 0);
    int64_t to = std::min<int64_t>(std::min<int64_t>(selEnd - lineStart, line.CharCount),
                                   length - lineStart);
    if (to <= from) continue;
    // The space that ends the section or a PRE line is no part of its text; past the end of a
    // PRE line the copy goes on on a new line, as past the end of a section.
    const int64_t lineEnd = lineStart + line.CharCount;
    const bool closed = to == line.CharCount && section.IsClosingSpace(int32_t(lineEnd - 1));
    if (closed) --to;
    buffer->AddText(section.Text.data() + lineStart + from, int32_t(to - from));
    if (closed && lineEnd < length && selEnd > lineEnd) buffer->AddTextCR(section.Text.data(), 0);
  }
  if (selEnd > length) buffer->AddTextCR(section.Text.data(), 0);
}

}  // namespace html

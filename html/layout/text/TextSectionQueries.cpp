// The document's questions to a text section, answered by the section queries.
#include "html/layout/text/TextSectionQueries.h"

namespace html {

int TSection::HitTestLink(plat::TCanvas& canvas, int32_t x, int32_t y, THitLink& hit) {
  return SectionHitTestLink(*this, canvas, x, y, hit);
}

TFloatingObj* TSection::FindObjectAt(int32_t x, int32_t y, int32_t& objX, int32_t& objY) {
  return SectionFindObjectAt(*this, x, y, objX, objY);
}

int32_t TSection::FindCursorAt(plat::TCanvas& canvas, int32_t x, int32_t y, TCursorHit& hit) {
  return SectionFindCursorAt(*this, canvas, x, y, hit);
}

int32_t TSection::FindStringForward(std::u16string_view text, int32_t from, bool matchCase) {
  return SectionFindStringForward(*this, text, from, matchCase);
}

int32_t TSection::FindStringBackward(std::u16string_view text, int32_t from, bool matchCase) {
  return SectionFindStringBackward(*this, text, from, matchCase);
}

int32_t TSection::DocToSourcePos(int32_t pos) {
  return SectionDocToSourcePos(*this, pos);
}

int32_t TSection::SourceToDocPos(int32_t sourcePos, bool backwards) {
  return SectionSourceToDocPos(*this, sourcePos, backwards);
}

bool TSection::PositionToXY(plat::TCanvas* canvas, int32_t pos, int32_t& y, int32_t& x) {
  return SectionPositionToXY(*this, canvas, pos, y, x);
}

bool TSection::GetCharAt(int32_t pos, char16_t& ch, TSectionBase*& item) {
  return SectionGetCharAt(*this, pos, ch, item);
}

void TSection::CopySelectedText() {
  SectionCopySelectedText(*this);
}

}  // namespace html

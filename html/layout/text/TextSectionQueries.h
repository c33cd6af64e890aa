// What the document asks a laid-out text section about points, positions and its characters:
// links and the caret under a point, searching, source offsets, and copying the selection.
// Point queries use the line places of the last painting.
#pragma once

#include <cstdint>
#include <string_view>

#include "html/layout/sections/PageSections.h"
#include "html/layout/text/TextSection.h"
#include "platform/drawing/Graphics.h"

namespace html {

// Characters from lineStart on (at most limit) that lie within width of where they start
// drawing: objects and form controls by their boxes, floating objects without width, text by
// its runs. Measures with the canvas's justification as set by the caller.
int32_t FitCountAt(TSection& section, plat::TCanvas& canvas, int32_t width, int32_t limit,
                   int32_t lineStart);
// Width of the first count characters of line as painting places them, the line's
// justification included.
int32_t LineWidthTo(TSection& section, plat::TCanvas& canvas, const LineRec& line, int32_t count);

// THitFlags of what lies under (x, y) (document coordinates): a picture answers with its title,
// input, map or link; else the text run with its link and title.
int SectionHitTestLink(TSection& section, plat::TCanvas& canvas, int32_t x, int32_t y,
                       THitLink& hit);
// The picture or panel under (x, y) and the point inside it, or null.
TFloatingObj* SectionFindObjectAt(const TSection& section, int32_t x, int32_t y, int32_t& objX,
                                  int32_t& objY);
// The document position where a click at (x, y) puts the caret, or -1.
int32_t SectionFindCursorAt(TSection& section, plat::TCanvas& canvas, int32_t x, int32_t y,
                            TCursorHit& hit);
// The caret point (line top, x) of a document position; without a canvas x is the line's left.
bool SectionPositionToXY(TSection& section, plat::TCanvas* canvas, int32_t pos, int32_t& y,
                         int32_t& x);

// The document position of the first occurrence of text at or after from, or -1. Without
// matchCase the search ignores case.
int32_t SectionFindStringForward(const TSection& section, std::u16string_view text, int32_t from,
                                 bool matchCase);
// The document position of the last occurrence of text that ends before from, or -1.
int32_t SectionFindStringBackward(const TSection& section, std::u16string_view text, int32_t from,
                                  bool matchCase);

// The source offset of the character at a document position, or -1.
int32_t SectionDocToSourcePos(const TSection& section, int32_t pos);
// The document position of a source offset, or -1. An offset between characters (inside a tag)
// goes to the character after it, or with backwards to the one before it.
int32_t SectionSourceToDocPos(const TSection& section, int32_t sourcePos, bool backwards);
// The character at a document position and the section holding it.
bool SectionGetCharAt(TSection& section, int32_t pos, char16_t& ch, TSectionBase*& item);

// Appends the section's part of the document's selection to its SelBuffer, followed by CR LF
// when the selection goes on past the section.
void SectionCopySelectedText(const TSection& section);

}  // namespace html

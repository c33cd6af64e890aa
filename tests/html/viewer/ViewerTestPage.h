// Pages of blocks with known sizes, loaded into a viewer in place of parsed markup.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/viewer/PageViewer.h"

namespace html::test {

// A block of a fixed width that paints itself in one colour. With Area set it wraps like text:
// its height is Area divided by the width it is given, rounded up.
class TBoxItem : public TSectionBase {
 public:
  TBoxItem(TSectionList* document, int32_t width, int32_t height, TColor color = clNone)
      : TSectionBase(document), Width(width), Height(height), Color(color) {}

  int32_t Layout(plat::TCanvas& canvas, int32_t x, int32_t y, int32_t refX, int32_t refY,
                 int32_t availWidth, int32_t availHeight, int32_t blockHeight,
                 IndentManager& indents, int32_t& maxWidth, int32_t& pos) override {
    FlowHeight = Area > 0 ? int32_t((Area + availWidth - 1) / availWidth) : Height;
    TSectionBase::Layout(canvas, x, y, refX, refY, availWidth, availHeight, blockHeight, indents,
                         maxWidth, pos);
    maxWidth = Area > 0 ? availWidth : Width;
    LaidOutAt.push_back(availWidth);
    return FlowHeight;
  }
  int32_t Draw(plat::TCanvas& canvas, const plat::TRect& clipRect, IndentManager& indents,
               int32_t x, int32_t refX, int32_t refY) override {
    if (Color != clNone) {
      const int32_t top = TopY - Document->ScrollY;
      canvas.Brush().SetColor(Color);
      canvas.FillRect({x, top, x + Width, top + FlowHeight});
    }
    return TSectionBase::Draw(canvas, clipRect, indents, x, refX, refY);
  }

  int32_t Width, Height;
  TColor Color;
  int64_t Area = 0;
  std::vector<int32_t> LaidOutAt;
};

// Loads a page whose source has sourceLength characters and whose content is the given boxes
// (the viewer keeps pointers valid until the next load). Returns the first box.
inline TBoxItem* LoadBoxes(TPageViewer& viewer, size_t sourceLength,
                           std::vector<std::unique_ptr<TBoxItem>> boxes) {
  TBoxItem* first = boxes.empty() ? nullptr : boxes.front().get();
  viewer.OnParseEnd = [&boxes, &viewer](plat::TObject*) {
    TSectionList& document = viewer.Document();
    document.TCellBasic::Clear();  // whatever the markup made
    for (auto& box : boxes) document.Add(std::move(box), 0);
  };
  // A comment makes no content of its own, whatever its length.
  std::string source = "<!--" + std::string(sourceLength > 7 ? sourceLength - 7 : 0, 'x') + "-->";
  viewer.LoadFromString(source, "");
  viewer.OnParseEnd = nullptr;
  return first;
}

inline std::vector<std::unique_ptr<TBoxItem>> OneBox(TPageViewer& viewer, int32_t width,
                                                     int32_t height, TColor color = clNone) {
  std::vector<std::unique_ptr<TBoxItem>> boxes;
  boxes.push_back(std::make_unique<TBoxItem>(&viewer.Document(), width, height, color));
  return boxes;
}

}  // namespace html::test

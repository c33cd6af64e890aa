// Block boxes against a model written from the description, over random documents of blocks
// with nested blocks: margins (auto, negative, collapsing between neighbours), borders, padding,
// set and automatic widths and heights. The model lays them out and paints their backgrounds and
// borders onto its own picture, which must equal the engine's pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/html/layout/blocks/BlockFixture.h"

namespace html::test {
namespace {

constexpr int kAuto = -1;
constexpr int kPictureWidth = 400, kPictureHeight = 500;

// A float as the indents record it: a left one by its right edge, a right one by its left.
struct MFloat {
  bool left;
  int x, top, bottom;
};

struct MBlock {
  int marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;  // kAuto for the sides
  int width = kAuto, height = 0;                                         // height 0: none
  int padding[4] = {};                                                   // top, right, bottom, left
  int border[4] = {};
  TColor fill = 0, frame = 0;
  int floating = 0;                           // 0 none, 1 left, 2 right
  int boxHeight = 0, boxMin = 0, boxMax = 0;  // the content when there are no children
  std::vector<MBlock> children;
  // Laid out:
  int contentX = 0, contentWidth = 0, top = 0, innerBottom = 0, y = 0;

  int Left() const { return std::max(marginLeft, 0); }
  int Right() const { return std::max(marginRight, 0); }
  int H() const { return padding[1] + padding[3] + border[1] + border[3]; }

  // Narrowest and widest: the content's, widened by the set width and everything around it.
  void MinMax(int& min, int& max) const {
    min = boxMin;
    max = boxMax;
    for (const MBlock& child : children) {
      int cMin = 0, cMax = 0;
      child.MinMax(cMin, cMax);
      min = std::max(min, cMin);
      max = std::max(max, cMax);
    }
    const int w = width == kAuto ? 0 : width;
    const int l = Left() + padding[3] + border[3], r = Right() + padding[1] + border[1];
    min = std::max(min, w) + l + r;
    max = w < 1 ? l + r + std::max(max, w) : min;
  }

  // The width of the content for an available width, margins settled.
  int ComputeWidth(int avail) {
    int min = boxMin, max = boxMax;
    for (const MBlock& child : children) {
      int cMin = 0, cMax = 0;
      child.MinMax(cMin, cMax);
      min = std::max(min, cMin);
      max = std::max(max, cMax);
    }
    const int autos = (marginLeft == kAuto) + (width == kAuto) + (marginRight == kAuto);
    // A float shrinks to fit its content.
    const auto fit = [&] {
      width = floating ? std::min(max, avail - H() - Left() - Right())
                       : std::max(min, avail - H() - Left() - Right());
    };
    if (autos == 0) {
      width = std::max(min, width);
    } else if (autos == 1 && width != kAuto) {
      width = std::max(width, min);
      if (marginRight == kAuto)
        marginRight = floating ? 0 : std::max(0, avail - H() - marginLeft - width);
      else
        marginLeft = std::max(0, avail - H() - marginRight - width);
    } else if (autos == 1) {
      fit();
    } else if (autos == 2 && width != kAuto) {
      width = std::max(width, min);
      marginLeft = marginRight = std::max(0, avail - width - H()) / 2;
    } else if (autos == 2) {
      (marginLeft == kAuto ? marginLeft : marginRight) = 0;
      fit();
    } else {
      marginLeft = marginRight = 0;
      fit();
    }
    return width;
  }

  // Lays the block out at (x, y) beside the floats laid out before it and returns the height it
  // takes in the flow (none for a float, which joins the floats).
  int Layout(int x, int atY, int avail, std::vector<MFloat>* floats = nullptr) {
    y = atY;
    contentWidth = ComputeWidth(avail);
    contentX = x + Left() + padding[3] + border[3];
    if (floating == 1) {
      int indent = 0;
      for (const MFloat& f : *floats)
        if (f.left && f.top <= y && y < f.bottom) indent = std::max(indent, f.x);
      contentX = std::max(x, indent) + Left() + padding[3] + border[3];
    } else if (floating == 2) {
      int limit = avail;
      for (const MFloat& f : *floats)
        if (!f.left && f.top <= y && y < f.bottom) limit = std::min(limit, f.x);
      contentX = std::min(avail, limit) - (Right() + padding[1] + border[1]) - contentWidth;
    }
    top = y + marginTop + padding[0] + border[0];
    // The content's bottom is taken from 0: items above the page's top do not lift it.
    int bottom = 0, below = top;
    if (children.empty()) bottom = std::max(0, top + boxHeight);
    for (MBlock& child : children) {
      below += child.Layout(contentX, below, contentWidth);
      bottom = std::max(bottom, child.y + child.Height());
    }
    innerBottom = std::max(top, bottom);
    if (height > 0) innerBottom = std::max(innerBottom, top + height);
    if (floating) {
      const int paintBottom = innerBottom + padding[2] + border[2];
      const int right = contentX + contentWidth + padding[1] + border[1] + Right();
      const int full = right - (contentX - padding[3] - border[3] - Left());
      int limit = avail;
      for (const MFloat& f : *floats)
        if (!f.left && f.top <= y && y < f.bottom) limit = std::min(limit, f.x);
      floats->push_back({floating == 1, floating == 1 ? right : limit - full, y, paintBottom});
      return 0;
    }
    return Height();
  }
  int Height() const { return innerBottom + padding[2] + border[2] + marginBottom - y; }

  // The background over the padding box, the children, then the border around it. Where two
  // sides of a border meet, the border painter's diagonal decides: those pixels are marked as
  // open unless something is painted over them later.
  void Paint(std::vector<TColor>& picture, std::vector<bool>& open) const {
    const auto fillRect = [&](int left, int top_, int right, int bottom, TColor colour,
                              bool corner = false) {
      for (int py = std::max(top_, 0); py < std::min(bottom, kPictureHeight); ++py)
        for (int px = std::max(left, 0); px < std::min(right, kPictureWidth); ++px) {
          picture[size_t(py * kPictureWidth + px)] = colour;
          open[size_t(py * kPictureWidth + px)] = corner;
        }
    };
    const int left = contentX - padding[3], right = contentX + contentWidth + padding[1];
    const int ptop = y + marginTop + border[0], pbottom = innerBottom + padding[2];
    fillRect(left, ptop, right, pbottom, fill);
    for (const MBlock& child : children) child.Paint(picture, open);
    fillRect(left - border[3], ptop - border[0], right + border[1], ptop, frame);
    fillRect(left - border[3], pbottom, right + border[1], pbottom + border[2], frame);
    fillRect(left - border[3], ptop, left, pbottom, frame);
    fillRect(right, ptop, right + border[1], pbottom, frame);
    if (border[0] + border[1] + border[2] + border[3] == 0) return;
    for (int cx : {left - border[3], right})
      for (int cy : {ptop - border[0], pbottom}) {
        const int w = cx < left ? border[3] : border[1], h = cy < ptop ? border[0] : border[2];
        if (w > 0 || h > 0) fillRect(cx, cy, cx + std::max(w, 1), cy + std::max(h, 1), frame, true);
      }
  }
};

std::string Px(int v) {
  return std::to_string(v) + "px";
}

std::string Colour(TColor c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return text;
}

class BlockModel : public BlockTest {
 protected:
  MBlock RandomBlock(std::mt19937& random, int depth) {
    MBlock b;
    const auto margin = [&] { return int(random() % 40) - 10; };
    b.marginTop = margin();
    b.marginBottom = margin();
    b.marginLeft = random() % 4 == 0 ? kAuto : int(random() % 30);
    b.marginRight = random() % 4 == 0 ? kAuto : int(random() % 30);
    if (random() % 2) b.width = int(20 + random() % 250);
    if (random() % 4 == 0) b.height = int(1 + random() % 80);
    for (int k = 0; k < 4; ++k) {
      b.padding[k] = int(random() % 8);
      b.border[k] = random() % 3 == 0 ? int(random() % 5) : 0;
    }
    b.fill = TColor(0x202020 + (++colours_ * 0x0B0D07) % 0xC0C0C0);
    b.frame = TColor(0x101010 + (++colours_ * 0x070B0D) % 0xD0D0D0);
    if (depth == 0 && random() % 4 == 0) b.floating = int(1 + random() % 2);
    if (depth < 2 && !b.floating && random() % 2) {
      for (int k = int(1 + random() % 3); k > 0; --k)
        b.children.push_back(RandomBlock(random, depth + 1));
    } else {
      b.boxHeight = int(random() % 40);
      b.boxMin = int(random() % 120);
      b.boxMax = b.boxMin + int(random() % 200);
    }
    return b;
  }

  // The engine's blocks for the model's, into container, margins collapsing as they are added.
  void Build(const MBlock& b, TCellBasic& container) {
    std::vector<std::pair<std::string, std::string>> css;
    const auto side = [](int v) { return v == kAuto ? std::string("auto") : Px(v); };
    css = {{"margin-top", Px(b.marginTop)},
           {"margin-bottom", Px(b.marginBottom)},
           {"margin-left", side(b.marginLeft)},
           {"margin-right", side(b.marginRight)},
           {"width", side(b.width)},
           {"background-color", Colour(b.fill)}};
    if (b.height > 0) css.push_back({"height", Px(b.height)});
    if (b.floating) css.push_back({"float", b.floating == 1 ? "left" : "right"});
    const char* sides[] = {"top", "right", "bottom", "left"};
    for (int k = 0; k < 4; ++k) {
      css.push_back({std::string("padding-") + sides[k], Px(b.padding[k])});
      if (b.border[k] == 0) continue;
      css.push_back({std::string("border-") + sides[k] + "-style", "solid"});
      css.push_back({std::string("border-") + sides[k] + "-width", Px(b.border[k])});
      css.push_back({std::string("border-") + sides[k] + "-color", Colour(b.frame)});
    }
    auto prop = std::make_unique<TProperties>();
    prop->Tag = "div";
    for (const auto& [name, value] : css) prop->AddPropertyByName(name, value);
    auto block = std::make_unique<TBlock>(container.Document, *prop, &container, nullptr);
    if (b.children.empty())
      AddBox(block->Content, b.boxHeight, b.boxMin, b.boxMax);
    else
      for (const MBlock& child : b.children) Build(child, block->Content);
    container.Add(std::move(block), 0);
  }

  int colours_ = 0;
};

// What the description's collapsing does to the model: a block's top margin takes the bottom
// margin of the block before it (which becomes 0); the first block of the document loses a
// negative top margin; the first in a block keeps its own.
void Collapse(std::vector<MBlock>& blocks, bool document) {
  for (size_t i = 0; i < blocks.size(); ++i) {
    int& top = blocks[i].marginTop;
    if (blocks[i].floating) {
      // A float's margins stay its own.
    } else if (i == 0) {
      if (document) top = std::max(0, top);
    } else {
      int& bottom = blocks[i - 1].marginBottom;
      top = top >= 0 && bottom >= 0 ? std::max(top, bottom)
            : top < 0 && bottom < 0 ? std::min(top, bottom)
                                    : top + bottom;
      bottom = 0;
    }
    Collapse(blocks[i].children, false);
  }
}

TEST_F(BlockModel, BoxesArePlacedAndPaintedAsDescribed) {
  std::mt19937 random(141);
  for (int round = 0; round < 90; ++round) {
    SCOPED_TRACE(round);
    document.Clear();
    std::vector<MBlock> blocks;
    for (int k = int(1 + random() % 4); k > 0; --k) blocks.push_back(RandomBlock(random, 0));
    for (const MBlock& b : blocks) Build(b, document);
    Collapse(blocks, true);
    const int width = int(100 + random() % 300);
    int y = 0;
    std::vector<MFloat> floats;
    for (MBlock& b : blocks) y += b.Layout(0, y, width, &floats);
    for (const MFloat& f : floats) y = std::max(y, f.bottom);  // floats may reach lower
    ASSERT_EQ(LayOut(width), y);

    std::vector<TColor> picture(size_t(kPictureWidth) * kPictureHeight, kWhite);
    std::vector<bool> open(picture.size(), false);
    for (const MBlock& b : blocks) b.Paint(picture, open);
    Paint(kPictureWidth, kPictureHeight);
    int wrong = 0;
    for (int py = 0; py < kPictureHeight && wrong < 3; ++py)
      for (int px = 0; px < kPictureWidth && wrong < 3; ++px)
        if (!open[size_t(py * kPictureWidth + px)] &&
            At(px, py) != picture[size_t(py * kPictureWidth + px)] && ++wrong)
          ADD_FAILURE() << "pixel " << px << "," << py << " is " << std::hex << At(px, py)
                        << ", expected " << picture[size_t(py * kPictureWidth + px)];
    ASSERT_EQ(wrong, 0);
  }
}

}  // namespace
}  // namespace html::test

// An octree of a picture's colours, folded until it holds no more than a given number.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drawing/Palette.h"
#include "platform/pictures/Bitmap.h"

namespace html {

struct TOctreeNode {
  bool IsLeaf = false;
  int64_t PixelCount = 0;
  int64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
  TOctreeNode* Next = nullptr;  // the next reducible node of the same level
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer {
 public:
  // colorBits: the tree's depth, 1 to 8.
  TColorQuantizer(int maxColors, int colorBits);

  void ProcessImage(const plat::TBitmap& bitmap);
  // Adds one pixel, then folds the tree back to maxColors.
  void AddPixel(uint8_t red, uint8_t green, uint8_t blue);
  int LeafCount() const { return leafCount_; }
  // The mean colour of every leaf, in tree order.
  std::vector<plat::TPaletteEntry> GetColorTable() const;

 private:
  void AddColor(std::unique_ptr<TOctreeNode>& node, uint8_t red, uint8_t green, uint8_t blue,
                int level);
  // Folds the most recent node of the deepest level into one leaf; false when none is left.
  bool ReduceTree();

  std::unique_ptr<TOctreeNode> tree_;
  int leafCount_ = 0;
  std::array<TOctreeNode*, 8> reducibleNodes_{};
  int maxColors_;
  int colorBits_;
};

}  // namespace html

// The octree colour quantizer behind optimised palettes.
#include "html/images/ColorReductionOctree.h"

#include <algorithm>
#include <functional>

namespace html {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(maxColors), colorBits_(std::clamp(colorBits, 1, 8)) {}

void TColorQuantizer::ProcessImage(const plat::TBitmap& bitmap) {
  std::vector<uint32_t> row(size_t(bitmap.Width()));
  for (int y = 0; y < bitmap.Height(); ++y) {
    bitmap.ReadRowARGB(y, row.data());
    for (uint32_t pixel : row) AddPixel(uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel));
  }
}

void TColorQuantizer::AddPixel(uint8_t red, uint8_t green, uint8_t blue) {
  AddColor(tree_, red, green, blue, 0);
  while (leafCount_ > maxColors_ && ReduceTree()) {
  }
}

void TColorQuantizer::AddColor(std::unique_ptr<TOctreeNode>& node, uint8_t red, uint8_t green,
                               uint8_t blue, int level) {
  if (!node) {
    node = std::make_unique<TOctreeNode>();
    if (level == colorBits_) {
      node->IsLeaf = true;
      ++leafCount_;
    } else {
      node->Next = reducibleNodes_[size_t(level)];
      reducibleNodes_[size_t(level)] = node.get();
    }
  }
  if (node->IsLeaf) {
    ++node->PixelCount;
    node->RedSum += red;
    node->GreenSum += green;
    node->BlueSum += blue;
    return;
  }
  const int shift = 7 - level;
  const size_t child =
      size_t(((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1));
  AddColor(node->Children[child], red, green, blue, level + 1);
}

bool TColorQuantizer::ReduceTree() {
  int level = colorBits_ - 1;
  while (level > 0 && !reducibleNodes_[size_t(level)]) --level;
  TOctreeNode* node = reducibleNodes_[size_t(level)];
  if (!node) return false;
  reducibleNodes_[size_t(level)] = node->Next;
  int children = 0;
  for (std::unique_ptr<TOctreeNode>& child : node->Children) {
    if (!child) continue;
    node->PixelCount += child->PixelCount;
    node->RedSum += child->RedSum;
    node->GreenSum += child->GreenSum;
    node->BlueSum += child->BlueSum;
    child.reset();
    ++children;
  }
  node->IsLeaf = true;
  leafCount_ -= children - 1;
  return true;
}

std::vector<plat::TPaletteEntry> TColorQuantizer::GetColorTable() const {
  std::vector<plat::TPaletteEntry> table;
  std::function<void(const TOctreeNode&)> visit = [&](const TOctreeNode& node) {
    if (node.IsLeaf) {
      const int64_t n = node.PixelCount;
      table.push_back(n == 0 ? plat::TPaletteEntry{}
                             : plat::TPaletteEntry{uint8_t(node.RedSum / n),
                                                   uint8_t(node.GreenSum / n),
                                                   uint8_t(node.BlueSum / n), 0});
      return;
    }
    for (const auto& child : node.Children)
      if (child) visit(*child);
  };
  if (tree_) visit(*tree_);
  return table;
}

}  // namespace html

#include "platform/htmlservices/TextClusters.h"

#include <QTextBoundaryFinder>
#include <algorithm>

#include "platform/drawing/FontEngine.h"

namespace plat {

namespace {

// A regional indicator (half of a flag) at i: U+1F1E6 to U+1F1FF as a surrogate pair.
bool RegionalIndicatorAt(std::u16string_view text, size_t i) {
  return i + 1 < text.size() && text[i] == 0xD83C && text[i + 1] >= 0xDDE6 && text[i + 1] <= 0xDDFF;
}

}  // namespace

std::vector<bool> ClusterContinuations(std::u16string_view text) {
  // Below the combining marks every unit is a character of its own.
  if (std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x300; })) return {};
  std::vector<bool> continues(text.size(), true);
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme,
                             reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
  for (qsizetype at = 0; at >= 0 && at < qsizetype(text.size()); at = finder.toNextBoundary())
    continues[size_t(at)] = false;
  // Regional indicators pair into flags from the start of their run; the finder loses count
  // after some emoji.
  for (size_t i = 0; i < text.size();) {
    if (!RegionalIndicatorAt(text, i)) {
      ++i;
      continue;
    }
    for (bool second = false; RegionalIndicatorAt(text, i); i += 2, second = !second)
      continues[i] = second;
  }
  return continues;
}

bool LaidOutWhole(std::u16string_view text) {
  return FontInfo::NeedsLayout(text);
}

}  // namespace plat

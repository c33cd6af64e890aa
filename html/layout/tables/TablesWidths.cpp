#include "html/layout/tables/TablesWidths.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

#include "html/layout/blocks/BlockMath.h"

namespace html {

namespace {

using Widths = std::vector<int32_t>;

// Page sizes are unbounded: products are taken in 64 bits and brought back to 32.
int32_t MulDivTrunc(int64_t a, int64_t b, int64_t c) {
  return c == 0 ? 0 : Clamp32(a * b / c);
}
// a * b / c rounded to the nearest, halves away from zero.
int32_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  const int64_t p = a * b;
  const int64_t q = p / c, r = p % c;
  const bool up = 2 * (r < 0 ? -r : r) >= (c < 0 ? -c : c);
  return Clamp32(up ? q + ((p < 0) != (c < 0) ? -1 : 1) : q);
}

int64_t Sum(const Widths& v, int from, int count) {
  return std::accumulate(v.begin() + from, v.begin() + from + count, int64_t(0));
}

// How a span's extra is shared out.
enum class Share { Truncated, Rounded };
// Adds extra to the span's columns in proportion to weights, each share rounded or truncated;
// the rest goes to the first column. Weights summing to 0 give even shares, or everything to
// the first column when evenWhenZero is false.
void SpreadBy(Widths& target, const Widths& weights, int from, int count, int64_t extra,
              int64_t weightSum, Share mode = Share::Truncated, bool evenWhenZero = true) {
  int64_t given = 0;
  for (int i = from; i < from + count; ++i) {
    const int64_t share = weightSum <= 0 ? (evenWhenZero ? extra / count : 0)
                          : mode == Share::Rounded
                              ? MulDivRound(extra, weights[size_t(i)], weightSum)
                              : extra * weights[size_t(i)] / weightSum;
    target[size_t(i)] = Clamp32(target[size_t(i)] + share);
    given += share;
  }
  target[size_t(from)] = Clamp32(target[size_t(from)] + extra - given);
}

int MaxSpan(const std::vector<TColumnCell>& cells) {
  int s = 1;
  for (const TColumnCell& c : cells) s = std::max(s, c.Span);
  return s;
}

// A pixel width raises a single column to it (with the cell's extras) and a span's minimum to
// it; both limits become the minimum.
void ApplyPixelWidth(const TColumnCell& cell, int32_t& min, int32_t& max) {
  if (cell.IsPercent || cell.WidthSpec < 1) return;
  const int32_t requested =
      cell.Span == 1 ? Clamp32(int64_t(cell.WidthSpec) + cell.Extra) : cell.WidthSpec;
  min = std::max(min, requested);
  max = min;
}

TColumnSizes EmptySizes(int colCount) {
  TColumnSizes s;
  s.Min.assign(size_t(colCount), 0);
  s.Max.assign(size_t(colCount), 0);
  s.Percent.assign(size_t(colCount), 0);
  return s;
}

bool Fits(const TColumnCell& c, int colCount) {
  return c.Col >= 0 && c.Span >= 1 && int64_t(c.Col) + c.Span <= colCount;
}

void KeepMaxAtLeastMin(TColumnSizes& s) {
  for (size_t i = 0; i < s.Min.size(); ++i) s.Max[i] = std::max(s.Max[i], s.Min[i]);
}

// Spreads between minima and maxima to fill width; the rounding rest goes to the column with
// the most room (the first column when no column has any).
Widths Ordinary(const TColumnSizes& s, int32_t width) {
  const int n = int(s.Min.size());
  Widths w(static_cast<size_t>(n));
  if (n == 0) return w;
  const int64_t totalMin = s.TotalMin(), d = int64_t(s.TotalMax()) - totalMin;
  const int64_t room = width - totalMin;
  int best = 0;
  for (int i = 0; i < n; ++i) {
    const int64_t span = int64_t(s.Max[size_t(i)]) - s.Min[size_t(i)];
    w[size_t(i)] = Clamp32(s.Min[size_t(i)] + (d > 0 ? span * room / d : room / n));
    if (span > int64_t(s.Max[size_t(best)]) - s.Min[size_t(best)]) best = i;
  }
  w[size_t(best)] = Clamp32(w[size_t(best)] + width - Sum(w, 0, n));
  return w;
}

}  // namespace

int32_t TColumnSizes::TotalMin() const {
  return Clamp32(Sum(Min, 0, int(Min.size())));
}
int32_t TColumnSizes::TotalMax() const {
  return Clamp32(Sum(Max, 0, int(Max.size())));
}

TColumnSizes MinMaxAbs(const std::vector<TColumnCell>& cells, int colCount) {
  TColumnSizes s = EmptySizes(colCount);
  const int maxSpan = MaxSpan(cells);
  for (int span = 1; span <= maxSpan; ++span)
    for (const TColumnCell& c : cells) {
      if (c.Span != span || !Fits(c, colCount)) continue;
      int32_t min = c.Min, max = c.Max;
      ApplyPixelWidth(c, min, max);
      if (span == 1) {
        s.Min[size_t(c.Col)] = std::max(s.Min[size_t(c.Col)], min);
        s.Max[size_t(c.Col)] = std::max(s.Max[size_t(c.Col)], max);
        continue;
      }
      const int64_t minSum = Sum(s.Min, c.Col, span), maxSum = Sum(s.Max, c.Col, span);
      if (minSum < min)
        SpreadBy(s.Min, s.Min, c.Col, span, min - minSum, minSum, Share::Rounded, false);
      if (maxSum < max)
        SpreadBy(s.Max, s.Max, c.Col, span, max - maxSum, maxSum, Share::Rounded, false);
    }
  KeepMaxAtLeastMin(s);
  return s;
}

TColumnSizes MinMaxPercent(const std::vector<TColumnCell>& cells, int colCount, int32_t tablWidth) {
  TColumnSizes s = EmptySizes(colCount);
  const int maxSpan = MaxSpan(cells);
  for (int span = 1; span <= maxSpan; ++span)
    for (const TColumnCell& c : cells) {
      if (c.Span != span || !Fits(c, colCount)) continue;
      int32_t min = c.Min, max = c.Max;
      ApplyPixelWidth(c, min, max);
      int32_t p = 0;
      if (c.IsPercent)
        p = c.WidthSpec;
      else if (tablWidth > 0 && c.WidthSpec > 0)
        p = std::min<int32_t>(1000, MulDivTrunc(c.WidthSpec, 1000, tablWidth));
      if (span == 1) {
        const size_t i = size_t(c.Col);
        s.Min[i] = std::max(s.Min[i], min);
        s.Max[i] = std::max(s.Max[i], max);
        s.Percent[i] = std::max(s.Percent[i], p);
        continue;
      }
      int64_t minSum = Sum(s.Min, c.Col, span), maxSum = Sum(s.Max, c.Col, span);
      const int64_t realMaxSum = maxSum;
      int64_t sumPct = 0;
      int noPct = 0;
      for (int i = c.Col; i < c.Col + span; ++i) {
        if (s.Percent[size_t(i)] > 0)
          sumPct += s.Percent[size_t(i)];
        else
          ++noPct;
      }
      if (span == colCount) {
        minSum = std::max<int64_t>(minSum, tablWidth);
        maxSum = std::max<int64_t>(maxSum, tablWidth);
      }
      const int64_t extraMin = min - minSum, extraMax = max - maxSum;
      if (p == 0 && sumPct == 0) {
        if (extraMin > 0) SpreadBy(s.Min, s.Min, c.Col, span, extraMin, Sum(s.Min, c.Col, span));
        if (extraMax > 0) SpreadBy(s.Max, s.Max, c.Col, span, extraMax, Sum(s.Max, c.Col, span));
        continue;
      }
      if (noPct == 0 && sumPct + 1 < p) {
        for (int i = c.Col; i < c.Col + span; ++i)
          s.Percent[size_t(i)] = MulDivTrunc(s.Percent[size_t(i)], p, sumPct);
      } else if (noPct > 0) {
        const int32_t share = int32_t(std::max<int64_t>(0, (p - sumPct) / noPct));
        for (int i = c.Col; i < c.Col + span; ++i)
          if (s.Percent[size_t(i)] == 0) s.Percent[size_t(i)] = share;
      }
      const int64_t t = std::max<int64_t>(sumPct, p);
      if (extraMin > 0) {
        if (noPct > 0 && realMaxSum > 0)
          SpreadBy(s.Min, s.Max, c.Col, span, extraMin, realMaxSum);
        else
          SpreadBy(s.Min, s.Percent, c.Col, span, extraMin, t);
      }
      if (extraMax > 0) SpreadBy(s.Max, s.Percent, c.Col, span, extraMax, t);
    }
  KeepMaxAtLeastMin(s);
  return s;
}

Widths WidthsAbs(const TColumnSizes& s, int32_t tablWidth, bool specified) {
  const int n = int(s.Min.size());
  const int64_t totalMin = s.TotalMin(), totalMax = s.TotalMax();
  if (totalMin > tablWidth) return s.Min;
  if (totalMax <= tablWidth && !specified) return s.Max;
  const int64_t d = totalMax - totalMin, room = tablWidth - totalMin;
  Widths w(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const int64_t min = s.Min[size_t(i)], span = int64_t(s.Max[size_t(i)]) - min;
    if (d >= 1)
      w[size_t(i)] = Clamp32(min + span * room / d);
    else
      w[size_t(i)] = Clamp32(min + (totalMin > 0 ? min * room / totalMin : room / n));
  }
  int64_t diff = Sum(w, 0, n) - tablWidth;
  for (int i = 0; i < n && diff != 0; ++i) {
    if (diff > 0 && s.Max[size_t(i)] > s.Min[size_t(i)]) {
      --w[size_t(i)];
      --diff;
    } else if (diff < 0) {
      ++w[size_t(i)];
      ++diff;
    }
  }
  return w;
}

int64_t NaturalPercentWidth(const TColumnSizes& s) {
  const int n = int(s.Min.size());
  const int64_t sumPct = Sum(s.Percent, 0, n);
  if (sumPct < 1 || sumPct > 1000) return 0;
  // Rounded up, so that the shares taken of it again (rounded down) still reach each maximum.
  const auto atLeast = [](int64_t width, int64_t perMille) {
    return (width * 1000 + perMille - 1) / perMille;
  };
  int64_t w = 0, otherMax = 0;
  for (int i = 0; i < n; ++i) {
    if (s.Percent[size_t(i)] > 0)
      w = std::max(w, atLeast(s.Max[size_t(i)], s.Percent[size_t(i)]));
    else
      otherMax += s.Max[size_t(i)];
  }
  if (otherMax > 0)
    w = std::max<int64_t>(w, sumPct >= 1000 ? 30000 : atLeast(otherMax, 1000 - sumPct));
  return w;
}

Widths WidthsAuto(TColumnSizes& s, int32_t tablWidth) {
  const int n = int(s.Min.size());
  const int64_t sumPct = Sum(s.Percent, 0, n);
  if (sumPct < 1 || sumPct > 1000) return Ordinary(s, tablWidth);

  const int64_t w = NaturalPercentWidth(s);
  int64_t otherMax = 0;
  for (int i = 0; i < n; ++i)
    if (s.Percent[size_t(i)] <= 0) otherMax += s.Max[size_t(i)];

  if (w <= tablWidth) {
    Widths r(static_cast<size_t>(n));
    const int64_t others = w * (1000 - sumPct) / 1000;
    for (int i = 0; i < n; ++i)
      r[size_t(i)] = s.Percent[size_t(i)] > 0
                         ? Clamp32(w * s.Percent[size_t(i)] / 1000)
                         : (otherMax > 0 ? Clamp32(others * s.Max[size_t(i)] / otherMax) : 0);
    return r;
  }

  // Every round either drops percentages or lowers each remaining one by at least one.
  for (;;) {
    int64_t percentWidths = 0, ordinaryMin = 0;
    bool any = false;
    for (int i = 0; i < n; ++i) {
      int32_t& p = s.Percent[size_t(i)];
      if (p > 0 && s.Min[size_t(i)] > int64_t(tablWidth) * p / 1000) p = 0;
      if (p > 0) {
        any = true;
        percentWidths += int64_t(tablWidth) * p / 1000;
      } else {
        ordinaryMin += s.Min[size_t(i)];
      }
    }
    if (!any) break;
    if (percentWidths + ordinaryMin <= tablWidth) {
      for (int i = 0; i < n; ++i)
        if (const int32_t p = s.Percent[size_t(i)]; p > 0)
          s.Min[size_t(i)] = s.Max[size_t(i)] = Clamp32(int64_t(tablWidth) * p / 1000);
      break;
    }
    const int64_t target =
        std::max<int64_t>(0, std::min(tablWidth - ordinaryMin, percentWidths - 1));
    for (int32_t& p : s.Percent)
      if (p > 0) p = MulDivTrunc(p, target, percentWidths);
  }
  return Ordinary(s, tablWidth);
}

Widths WidthsSpecified(const TColumnSizes& s, int32_t width) {
  const int n = int(s.Min.size());
  Widths w(static_cast<size_t>(n));
  if (n == 0) return w;
  std::vector<bool> fixed(size_t(n), false);
  const auto isPct = [&](int i) { return s.Percent[size_t(i)] > 0; };
  int64_t spare = 0;
  int ordinary = 0;
  for (int i = 0; i < n; ++i) {
    const size_t k = size_t(i);
    if (isPct(i)) {
      w[k] = MulDivTrunc(width, s.Percent[k], 1000);
      if (w[k] <= s.Min[k]) {
        w[k] = s.Min[k];
        fixed[k] = true;
      }
    } else {
      w[k] = s.Min[k];
      spare += int64_t(s.Max[k]) - s.Min[k];
      ++ordinary;
    }
  }
  const auto unfixedPct = [&] {
    int64_t sum = 0;
    for (int i = 0; i < n; ++i)
      if (isPct(i) && !fixed[size_t(i)]) sum += s.Percent[size_t(i)];
    return sum;
  };
  // Gives amount (either sign) to the unfixed percent columns by percentage share; when every
  // one is fixed, to all of them.
  const auto byPercent = [&](int64_t amount) {
    const bool anyUnfixed = unfixedPct() > 0;
    int64_t total = 0;
    for (int i = 0; i < n; ++i)
      if (isPct(i) && (!anyUnfixed || !fixed[size_t(i)])) total += s.Percent[size_t(i)];
    if (total <= 0) return;
    for (int i = 0; i < n; ++i)
      if (isPct(i) && (!anyUnfixed || !fixed[size_t(i)]))
        w[size_t(i)] = Clamp32(w[size_t(i)] + amount * s.Percent[size_t(i)] / total);
  };

  int64_t diff = Sum(w, 0, n) - width;
  if (diff > 0) {
    for (bool changed = true; changed;) {
      changed = false;
      const int64_t total = unfixedPct();
      if (total <= 0) break;
      for (int i = 0; i < n; ++i) {
        const size_t k = size_t(i);
        if (isPct(i) && !fixed[k] && w[k] - diff * s.Percent[k] / total < s.Min[k]) {
          w[k] = s.Min[k];
          fixed[k] = true;
          changed = true;
        }
      }
      diff = Sum(w, 0, n) - width;
    }
    if (diff > 0 && unfixedPct() > 0) byPercent(-diff);
  } else if (diff < 0) {
    const int64_t missing = -diff;
    if (ordinary == 0) {
      byPercent(missing);
    } else if (spare * 4 >= missing && spare > 0) {
      for (int i = 0; i < n; ++i)
        if (!isPct(i))
          w[size_t(i)] = Clamp32(w[size_t(i)] +
                                 missing * (int64_t(s.Max[size_t(i)]) - s.Min[size_t(i)]) / spare);
    } else {
      for (int i = 0; i < n; ++i)
        if (!isPct(i)) w[size_t(i)] = Clamp32(w[size_t(i)] + missing / ordinary);
    }
  }
  // The last pixels of rounding go to the widest column, which can spare or take them best;
  // when it is held at its minimum, the columns with the most room above theirs give them, so
  // that the table is exactly as wide as asked.
  diff = Sum(w, 0, n) - width;
  const auto widest = std::max_element(w.begin(), w.end());
  if (diff < 0 || (diff > 0 && *widest - diff >= s.Min[size_t(widest - w.begin())])) {
    *widest = Clamp32(*widest - diff);
    diff = 0;
  }
  while (diff > 0) {
    int roomiest = 0;
    for (int i = 1; i < n; ++i)
      if (int64_t(w[size_t(i)]) - s.Min[size_t(i)] >
          int64_t(w[size_t(roomiest)]) - s.Min[size_t(roomiest)])
        roomiest = i;
    const int64_t room = int64_t(w[size_t(roomiest)]) - s.Min[size_t(roomiest)];
    if (room <= 0) break;
    const int64_t taken = std::min(room, diff);
    w[size_t(roomiest)] = Clamp32(w[size_t(roomiest)] - taken);
    diff -= taken;
  }
  return w;
}

std::vector<int32_t> RowHeightsFor(const std::vector<TRowCell>& cells, int rowCount,
                                   int32_t usable) {
  Widths content(static_cast<size_t>(rowCount), 0), requested(static_cast<size_t>(rowCount), 0);
  std::vector<bool> specified(size_t(rowCount), false);
  int maxSpan = 1;
  for (const TRowCell& c : cells) maxSpan = std::max(maxSpan, c.Span);
  for (int span = 1; span <= maxSpan; ++span)
    for (const TRowCell& c : cells) {
      if (c.Span != span || c.Row < 0 || int64_t(c.Row) + span > rowCount) continue;
      if (c.Requested > 0)
        for (int r = c.Row; r < c.Row + span; ++r) specified[size_t(r)] = true;
      // A span's shortfall is spread evenly, the remainder on its last row.
      const auto raise = [&](Widths& rows, int32_t need) {
        const int64_t have = Sum(rows, c.Row, span);
        if (need <= have) return;
        const int64_t extra = need - have;
        for (int r = c.Row; r < c.Row + span; ++r)
          rows[size_t(r)] = Clamp32(rows[size_t(r)] + extra / span);
        rows[size_t(c.Row + span - 1)] = Clamp32(rows[size_t(c.Row + span - 1)] + extra % span);
      };
      raise(content, c.Height);
      raise(requested, c.Requested);
    }

  const int64_t contentSum = Sum(content, 0, rowCount);
  if (rowCount == 0 || contentSum >= usable) return content;
  Widths wanted(static_cast<size_t>(rowCount));
  bool all = true;
  for (int r = 0; r < rowCount; ++r) {
    const size_t k = size_t(r);
    wanted[k] = specified[k] ? std::max(requested[k], content[k]) : content[k];
    all = all && specified[k];
  }
  const int64_t specSum = Sum(wanted, 0, rowCount);
  Widths h = content;
  const int last = rowCount - 1;
  if (specSum >= usable) {
    for (int r = 0; r < last; ++r)
      h[size_t(r)] =
          Clamp32(content[size_t(r)] + MulDivRound(int64_t(wanted[size_t(r)]) - content[size_t(r)],
                                                   usable - contentSum, specSum - contentSum));
    h[size_t(last)] = Clamp32(usable - Sum(h, 0, last));
  } else if (all) {
    if (specSum <= 0) return content;
    for (int r = 0; r < last; ++r) h[size_t(r)] = MulDivRound(wanted[size_t(r)], usable, specSum);
    h[size_t(last)] = Clamp32(usable - Sum(h, 0, last));
  } else {
    int64_t rest = usable;
    int free = 0, lastFree = 0;
    for (int r = 0; r < rowCount; ++r) {
      if (specified[size_t(r)]) {
        h[size_t(r)] = wanted[size_t(r)];
        rest -= wanted[size_t(r)];
      } else {
        ++free;
        lastFree = r;
      }
    }
    // A share never squeezes a row below its content.
    for (int r = 0; r < rowCount; ++r)
      if (!specified[size_t(r)])
        h[size_t(r)] = Clamp32(
            std::max<int64_t>(content[size_t(r)], rest / free + (r == lastFree ? rest % free : 0)));
  }
  return h;
}

}  // namespace html

// The arithmetic of a progress bar's filled width.
#include "importexport/progress_steps.h"

#include <algorithm>

namespace {

// Width in pixels that the bar fills at a position.
long long FilledWidth(long position, const BarGeometry& bar) {
  const long span = bar.high - bar.low;
  if (span <= 0) return 0;
  return (static_cast<long long>(position) - bar.low) * bar.width / span;
}

}  // namespace

PositionSpan PositionsDrawnAs(const BarGeometry& bar, long shown) {
  const long long span = static_cast<long long>(bar.high) - bar.low;
  if (span <= 0 || shown <= bar.low || shown >= bar.high - 1) return {shown, shown};
  long long first = bar.low + 1, last = bar.high - 2;
  if (bar.width > 0) {
    const long long w = FilledWidth(shown, bar);
    first = std::max(first, bar.low + (w * span + bar.width - 1) / bar.width);
    last = std::min(last, bar.low + ((w + 1) * span + bar.width - 1) / bar.width - 1);
  }
  return {static_cast<long>(first), static_cast<long>(last)};
}

// Which positions of a progress bar would draw it as it is drawn now. A
// redraw costs more than storing many entries: the pages send a position only
// when the bar would show it.
#pragma once

// A bar's range low .. high and its width in pixels (0: not known).
struct BarGeometry {
  long low, high, width;
};

// The positions first .. last; none when first > last.
struct PositionSpan {
  long first = 1, last = 0;
  bool Contains(long position) const { return position >= first && position <= last; }
};

// The positions that would draw the bar as `shown` draws it: those of the
// same filled width, or all between the edges when the width is not known;
// just `shown` itself at the edges. The first and the last two positions of
// the range always draw, so a run ends where it ends whatever its step.
PositionSpan PositionsDrawnAs(const BarGeometry& bar, long shown);

// Which next positions of the Import and Export pages' bar would draw it unchanged.
#include "importexport/progress_steps.h"

#include <gtest/gtest.h>

struct DrawnCase {
  const char* name;
  BarGeometry bar;
  long shown, first, last;
};

TEST(ProgressSteps, PositionsDrawnAsShown) {
  const DrawnCase cases[] = {
      {.name = "two pixels a position: every step draws", .bar = {0, 100, 200}, .shown = 50, .first = 50, .last = 50},
      {.name = "ten positions a pixel: those of its pixel", .bar = {0, 1000, 100}, .shown = 505, .first = 500, .last = 509},
      {.name = "the pixel before the end: not the last two", .bar = {0, 1000, 100}, .shown = 995, .first = 990, .last = 998},
      {.name = "first position of the range: itself only", .bar = {0, 1000, 100}, .shown = 0, .first = 0, .last = 0},
      {.name = "last but one position: itself only", .bar = {0, 1000, 100}, .shown = 999, .first = 999, .last = 999},
      {.name = "width not known: all between the edges", .bar = {0, 100, 0}, .shown = 50, .first = 1, .last = 98},
      {.name = "empty range: itself only", .bar = {5, 5, 100}, .shown = 5, .first = 5, .last = 5},
  };
  for (const DrawnCase& c : cases) {
    const PositionSpan span = PositionsDrawnAs(c.bar, c.shown);
    EXPECT_EQ(span.first, c.first) << c.name;
    EXPECT_EQ(span.last, c.last) << c.name;
  }
}

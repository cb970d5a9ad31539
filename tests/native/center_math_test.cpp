// Where CenterWindow puts a window.
#include <gtest/gtest.h>

#include "common/center_math.h"

TEST(CenterPosition, WorkedExample) {
  CenterPoint p = CenterPosition(0, 0, 801, 601, 300, 201);
  EXPECT_EQ(p.x, 250);  // 400 - 150
  EXPECT_EQ(p.y, 200);  // 300 - 100
}

TEST(CenterPosition, OffsetReference) {
  CenterPoint p = CenterPosition(100, 50, 400, 300, 100, 100);
  EXPECT_EQ(p.x, 250);
  EXPECT_EQ(p.y, 150);
}

TEST(CenterPosition, NegativeResultsBecomeZero) {
  CenterPoint p = CenterPosition(0, 0, 300, 200, 801, 601);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

TEST(CenterPosition, NoClampAtRightOrBottom) {
  CenterPoint p = CenterPosition(900, 700, 200, 200, 50, 50);
  EXPECT_EQ(p.x, 975);
  EXPECT_EQ(p.y, 775);
}

TEST(CenterPosition, HalvesDropTheirFraction) {
  CenterPoint p = CenterPosition(0, 0, 801, 601, 301, 203);
  EXPECT_EQ(p.x, 250);  // 400 - 150
  EXPECT_EQ(p.y, 199);  // 300 - 101
}

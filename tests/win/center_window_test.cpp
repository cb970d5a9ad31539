// CenterWindow on real windows: centred over the reference with each half
// rounded down on its own (an even reference and an odd window tell that from
// halving the difference), clamped at 0 on the left and top only.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/center.h"

namespace {

// A plain popup window at the given place, destroyed with the object.
struct Popup {
  HWND window;
  Popup(int x, int y, int w, int h)
      : window(CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, w, h, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {}
  ~Popup() { DestroyWindow(window); }
};

struct CenterCase {
  RECT reference;  // left, top, width, height
  SIZE window;
  POINT expected;
};

class CenterWindowTest : public ::testing::TestWithParam<CenterCase> {};

TEST_P(CenterWindowTest, MovesWithoutResizing) {
  const CenterCase& c = GetParam();
  Popup reference(c.reference.left, c.reference.top, c.reference.right, c.reference.bottom);
  Popup window(5, 7, c.window.cx, c.window.cy);
  ASSERT_NE(reference.window, nullptr);
  ASSERT_NE(window.window, nullptr);
  CenterWindow(reference.window, window.window);
  RECT r;
  GetWindowRect(window.window, &r);
  EXPECT_EQ(r.left, c.expected.x);
  EXPECT_EQ(r.top, c.expected.y);
  EXPECT_EQ(r.right - r.left, c.window.cx);
  EXPECT_EQ(r.bottom - r.top, c.window.cy);
}

INSTANTIATE_TEST_SUITE_P(
    Places, CenterWindowTest,
    ::testing::Values(CenterCase{{0, 0, 801, 601}, {300, 201}, {250, 200}},
                      CenterCase{{100, 40, 400, 300}, {101, 99}, {250, 141}},
                      CenterCase{{0, 0, 300, 200}, {801, 601}, {0, 0}},
                      CenterCase{{0, 0, 300, 600}, {801, 100}, {0, 250}},
                      CenterCase{{900, 700, 200, 200}, {50, 50}, {975, 775}}));

}  // namespace

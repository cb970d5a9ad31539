// Where a window goes when it is centred over another: plain arithmetic,
// kept apart from the Win32 helper that moves the window.
#pragma once

struct CenterPoint {
  int x;
  int y;
};

// Both rectangles as left, top, width, height in screen pixels. Halves drop
// their fraction; a negative result becomes 0, the right and bottom edges are
// not clamped.
CenterPoint CenterPosition(int refLeft, int refTop, int refWidth, int refHeight,
                           int width, int height);

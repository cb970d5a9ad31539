// Arithmetic of CenterWindow.
#include "common/center_math.h"

CenterPoint CenterPosition(int refLeft, int refTop, int refWidth, int refHeight,
                           int width, int height) {
  int x = refLeft + refWidth / 2 - width / 2;
  int y = refTop + refHeight / 2 - height / 2;
  return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

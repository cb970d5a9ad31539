// CenterWindow, used by all three programs.
#include "common/center.h"

#include "common/center_math.h"

void CenterWindow(HWND reference, HWND window) {
  RECT ref{}, own{};
  GetWindowRect(reference, &ref);
  GetWindowRect(window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  CenterPoint p = CenterPosition(ref.left, ref.top, ref.right - ref.left, ref.bottom - ref.top,
                                 width, height);
  SetWindowPos(window, nullptr, p.x, p.y, width, height, SWP_NOZORDER | SWP_NOSIZE);
}

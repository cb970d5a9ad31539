// The progress bar and status line of the Import and Export pages.
#include "importexport/page_controls.h"

#include <commctrl.h>

#include "manager/resource.h"

namespace {

// Width in pixels that the bar fills at a position.
long FilledWidth(long position, const PBRANGE& range, long width) {
  const long span = range.iHigh - range.iLow;
  if (span <= 0) return 0;
  return static_cast<long>((static_cast<long long>(position) - range.iLow) * width / span);
}

// What the bar was last told, so that an import of many entries asks it
// nothing for the many steps it would not show. Valid for one bar and one
// range.
struct Bar {
  HWND page = nullptr, window = nullptr;
  PBRANGE range{};
  long width = 0, shown = 0;
} known;

}  // namespace

void SetProgressRange(HWND page, long maximum) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0,
                      MAKELPARAM(0, static_cast<WORD>(maximum & 0xFFFF)));
  known.page = nullptr;
}

void SetProgressPosition(HWND page, long position) {
  if (known.page != page) {
    known.page = page;
    known.window = GetDlgItem(page, IDC_PROGRESS);
    HWND bar = known.window;
    SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&known.range));
    RECT client{};
    GetClientRect(bar, &client);
    known.width = client.right;
    known.shown = static_cast<long>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  }
  // Each position sent costs a redraw, which under Wine takes longer than
  // storing an entry: a step the bar would not show is left out. The first
  // and the last two positions of a range always go, so a run ends where it
  // ends whatever the step. The bar holds a position within its range: one
  // beyond it (a count above the 16 bits of the maximum) changes nothing
  // once the bar is full.
  const PBRANGE& range = known.range;
  const long held = position < range.iLow ? range.iLow : position > range.iHigh ? range.iHigh : position;
  if (held == known.shown) return;
  const bool edge = held <= range.iLow || held >= range.iHigh - 1;
  if (!edge && FilledWidth(held, range, known.width) == FilledWidth(known.shown, range, known.width))
    return;
  SendMessageA(known.window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  known.shown = held;
}

void SetStatusText(HWND page, const char* text) { SetDlgItemTextA(page, IDC_STATUS, text); }

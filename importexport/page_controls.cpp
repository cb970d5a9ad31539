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

}  // namespace

void SetProgressRange(HWND page, long maximum) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0,
                      MAKELPARAM(0, static_cast<WORD>(maximum & 0xFFFF)));
}

void SetProgressPosition(HWND page, long position) {
  HWND bar = GetDlgItem(page, IDC_PROGRESS);
  // Each position sent costs a redraw, which under Wine takes longer than
  // storing an entry: a step the bar would not show is left out. The first
  // and the last two positions of a range always go, so a run ends where it
  // ends whatever the step.
  PBRANGE range{};
  SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  RECT client{};
  GetClientRect(bar, &client);
  const long shown = static_cast<long>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  const bool edge = position <= range.iLow || position >= range.iHigh - 1;
  if (!edge && FilledWidth(position, range, client.right) == FilledWidth(shown, range, client.right))
    return;
  SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void SetStatusText(HWND page, const char* text) { SetDlgItemTextA(page, IDC_STATUS, text); }

// The progress bar and status line of the Import and Export pages.
#include "importexport/page_controls.h"

#include <commctrl.h>

#include <algorithm>

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
  long width = 0;
  // The positions that would change nothing on show: the one shown and those
  // of the same filled width, the edges of the range excepted.
  long quietLow = 1, quietHigh = 0;
  DWORD sentAt = 0;
} known;

// A redraw costs more than storing many entries (under Wine about half a
// millisecond): between the edges of the range the bar moves at most this
// often, which the eye does not tell from every step.
constexpr DWORD kRedrawMs = 25;

// Each position sent costs a redraw: a step the bar would not show is left
// out. The first and the last two positions of a range always go, so a run
// ends where it ends whatever the step.
void Quiet(long shown) {
  const PBRANGE& r = known.range;
  const long long span = static_cast<long long>(r.iHigh) - r.iLow;
  known.quietLow = known.quietHigh = shown;
  if (span <= 0 || shown <= r.iLow || shown >= r.iHigh - 1) return;
  long long first = r.iLow + 1, last = r.iHigh - 2;
  if (known.width > 0) {
    const long long w = FilledWidth(shown, r, known.width);
    first = std::max(first, r.iLow + (w * span + known.width - 1) / known.width);
    last = std::min(last, r.iLow + ((w + 1) * span + known.width - 1) / known.width - 1);
  }
  known.quietLow = static_cast<long>(first);
  known.quietHigh = static_cast<long>(last);
}

}  // namespace

void SetProgressRange(HWND page, long maximum) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0,
                      MAKELPARAM(0, static_cast<WORD>(maximum & 0xFFFF)));
  known.page = nullptr;
}

void SetProgressPosition(HWND page, long position) {
  if (known.page == page && position >= known.quietLow && position <= known.quietHigh) return;
  if (known.page != page) {
    known.page = page;
    known.window = GetDlgItem(page, IDC_PROGRESS);
    SendMessageA(known.window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&known.range));
    RECT client{};
    GetClientRect(known.window, &client);
    known.width = client.right;
    Quiet(static_cast<long>(SendMessageA(known.window, PBM_GETPOS, 0, 0)));
  }
  // The bar holds a position within its range: one beyond it (a count above
  // the 16 bits of the maximum) changes nothing once the bar is full.
  const PBRANGE& range = known.range;
  const long held = position < range.iLow ? range.iLow : position > range.iHigh ? range.iHigh : position;
  if (held >= known.quietLow && held <= known.quietHigh) return;
  const bool edge = held <= range.iLow || held >= range.iHigh - 1;
  const DWORD now = GetTickCount();
  if (!edge && now - known.sentAt < kRedrawMs) return;
  SendMessageA(known.window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  known.sentAt = now;
  Quiet(held);
}

void SetStatusText(HWND page, const char* text) { SetDlgItemTextA(page, IDC_STATUS, text); }

void RunCheckedSteps(HWND page, std::initializer_list<PageStep> steps) {
  for (const PageStep& step : steps) {
    if (IsDlgButtonChecked(page, step.box) != BST_CHECKED) continue;
    SetStatusText(page, step.status);
    SetProgressRange(page, step.maximum());
    step.run(page);
  }
  SetProgressPosition(page, 0);
  SetStatusText(page, "");
}

void CheckStartTypeBoxes(HWND page) {
  for (int box : {IDC_TYPE_WEB, IDC_TYPE_FTP, IDC_TYPE_EMAIL}) CheckDlgButton(page, box, BST_CHECKED);
}

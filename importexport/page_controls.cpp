// The controls the Import and Export pages share: progress bar, status line,
// type and policy buttons, and the run.
#include "importexport/page_controls.h"

#include <commctrl.h>

#include "importexport/progress_steps.h"
#include "manager/resource.h"

namespace {

// What the bar was last told, so that an import of many entries asks it
// nothing for the many steps it would not show. Valid for one bar and one
// range.
struct Bar {
  HWND page = nullptr, window = nullptr;
  BarGeometry geometry{};
  PositionSpan unchanged;  // positions that would draw the bar as it is
  DWORD sentAt = 0;
} shown;

// A redraw costs more than storing many entries (under Wine about half a
// millisecond): between the edges of the range the bar moves at most this
// often, which the eye does not tell from every step.
constexpr DWORD kRedrawMs = 25;

}  // namespace

void SetProgressRange(HWND page, long maximum) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0,
                      MAKELPARAM(0, static_cast<WORD>(maximum & 0xFFFF)));
  shown.page = nullptr;
}

void SetProgressPosition(HWND page, long position) {
  if (shown.page == page && shown.unchanged.Contains(position)) return;
  if (shown.page != page) {
    shown.page = page;
    shown.window = GetDlgItem(page, IDC_PROGRESS);
    PBRANGE range{};
    SendMessageA(shown.window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    RECT client{};
    GetClientRect(shown.window, &client);
    shown.geometry = {range.iLow, range.iHigh, client.right};
    shown.unchanged =
        PositionsDrawnAs(shown.geometry, static_cast<long>(SendMessageA(shown.window, PBM_GETPOS, 0, 0)));
  }
  // The bar holds a position within its range: one beyond it (a count above
  // the 16 bits of the maximum) changes nothing once the bar is full.
  const BarGeometry& bar = shown.geometry;
  const long held = position < bar.low ? bar.low : position > bar.high ? bar.high : position;
  if (shown.unchanged.Contains(held)) return;
  const bool edge = held <= bar.low || held >= bar.high - 1;
  const DWORD now = GetTickCount();
  if (!edge && now - shown.sentAt < kRedrawMs) return;
  SendMessageA(shown.window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  shown.sentAt = now;
  shown.unchanged = PositionsDrawnAs(bar, held);
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

bool TakePolicyButton(HWND page, int id, int& policy) {
  if (id < IDC_POLICY_SKIP || id > IDC_POLICY_OVERWRITE) return false;
  CheckRadioButton(page, IDC_POLICY_SKIP, IDC_POLICY_OVERWRITE, id);
  policy = id - IDC_POLICY_SKIP;
  return true;
}

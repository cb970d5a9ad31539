// The progress bar and status line of the Import and Export pages.
#include "importexport/page_controls.h"

#include <commctrl.h>

#include "manager/resource.h"

void SetProgressRange(HWND page, long maximum) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETRANGE, 0,
                      MAKELPARAM(0, static_cast<WORD>(maximum & 0xFFFF)));
}

void SetProgressPosition(HWND page, long position) {
  SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void SetStatusText(HWND page, const char* text) { SetDlgItemTextA(page, IDC_STATUS, text); }

// The uninstaller's one dialog: names the program, asks, then runs the removal.
#include "common/bounded_text.h"
#include "common/center.h"
#include "common/installation_keys.h"
#include "uninstaller/resource.h"
#include "uninstaller/uninstall_app.h"

const char* ProgramName = "";
HICON ProgramIcon = nullptr;
HWND MainDialog = nullptr;

void ErrorBox(const char* text) {
  MessageBoxA(MainDialog, text, "QX Uninstall v1.0 - Fehler", MB_TASKMODAL | MB_ICONEXCLAMATION);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      MainDialog = dialog;
      SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(ProgramIcon));
      SetWindowTextA(dialog, "QX Uninstall v1.0");
      CenterWindow(GetDesktopWindow(), dialog);
      char heading[sizeof "Deinstallation von Programm : " + kMaxProgramName];
      FormatShown(heading, "Deinstallation von Programm : %s", ProgramName);
      SetDlgItemTextA(dialog, IDC_HEADING, heading);
      MessageBeep(MB_ICONEXCLAMATION);
      break;
    }
    case WM_PAINTICON:
      SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(ProgramIcon));
      break;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_REMOVE) {
        EnableWindow(GetDlgItem(dialog, IDC_CANCEL), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_REMOVE), FALSE);
        RemoveInstallation(dialog);
        EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDC_CANCEL) {
        EndDialog(dialog, 0);
      }
      break;
  }
  return 0;
}

// The entry dialog: shows CurrentRecord, reads it back on every save and
// refuses an empty name, an empty link or a link of no known category.
#include "manager/entry_dialog.h"

#include <string>

#include "addressdb/store.h"
#include "common/center.h"
#include "manager/app.h"
#include "manager/messages.h"
#include "manager/resource.h"

namespace {

const char kNoName[] = "Kein Name eingetragen !";
const char kNoLink[] = "Kein Link eingetragen !";
const char kBadLink[] = "Ung\xFCltiger Link !";

// A record read from a damaged file may hold a field without its NUL.
template <std::size_t N>
void ShowField(HWND dialog, int id, const char (&field)[N]) {
  SetDlgItemTextA(dialog, id, std::string(FieldText(field)).c_str());
}

void Save(HWND dialog) {
  // Read before any check: a refused save still leaves the typed texts in
  // CurrentRecord, which the page compares after a cancelled change.
  GetDlgItemTextA(dialog, IDC_NAME, CurrentRecord.name, sizeof CurrentRecord.name);
  GetDlgItemTextA(dialog, IDC_LINK, CurrentRecord.link, sizeof CurrentRecord.link);
  GetDlgItemTextA(dialog, IDC_DESCRIPTION, CurrentRecord.description,
                  sizeof CurrentRecord.description);
  if (CurrentRecord.name[0] == '\0') {
    ErrorBox(kNoName);
    return;
  }
  if (CurrentRecord.link[0] == '\0') {
    ErrorBox(kNoLink);
    return;
  }
  ClassifyLink();
  if (static_cast<LinkType>(CurrentRecord.type) == LinkType::Unknown) {
    ErrorBox(kBadLink);
    return;
  }
  EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK EntryDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterWindow(SheetWindow, dialog);
      ShowField(dialog, IDC_NAME, CurrentRecord.name);
      ShowField(dialog, IDC_LINK, CurrentRecord.link);
      ShowField(dialog, IDC_DESCRIPTION, CurrentRecord.description);
      return 0;
    case WM_COMMAND:
      // Enter (IDOK) and Escape (IDCANCEL) arrive here too and do nothing:
      // only the two buttons end the dialog.
      if (LOWORD(wParam) == IDC_SAVE) Save(dialog);
      if (LOWORD(wParam) == IDC_CANCEL) EndDialog(dialog, 0);
      return 0;
    default:
      return 0;
  }
}

INT_PTR RunEntryDialog(HWND owner) {
  return DialogBoxParamA(Instance, "DLG_INPUT", owner, EntryDialog, 0);
}

// The Export page: target, link types, policy for existing files, and the run.
#include "addressdb/store.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/pages.h"
#include "importexport/conversions.h"
#include "manager/app.h"
#include "manager/resource.h"

namespace {

int exportPolicy = Skip;

// The policy concerns existing favourite files only.
void EnablePolicyButtons(HWND page, bool enable) {
  for (int id = IDC_POLICY_SKIP; id <= IDC_POLICY_OVERWRITE; ++id)
    EnableWindow(GetDlgItem(page, id), enable ? TRUE : FALSE);
}

void RunExport(HWND page) {
  RunCheckedSteps(page, {
      {IDC_TARGET_FAVORITES, "Adressen als MS Internet-Explorer-Favoriten exportieren...", RecordCount,
       [](HWND p) { ExportFavorites(p, exportPolicy); }},
      {IDC_TARGET_HTML, "Adressen als HTML-Dokument exportieren...", RecordCount,
       [](HWND p) { ExportHtml(p); }},
  });
}

}  // namespace

INT_PTR CALLBACK ExportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    if (FavoritesAvailable) {
      CheckRadioButton(page, IDC_TARGET_FAVORITES, IDC_TARGET_HTML, IDC_TARGET_FAVORITES);
      CheckRadioButton(page, IDC_POLICY_SKIP, IDC_POLICY_OVERWRITE, IDC_POLICY_SKIP);
    } else {
      EnableWindow(GetDlgItem(page, IDC_TARGET_FAVORITES), FALSE);
      EnablePolicyButtons(page, false);
      CheckRadioButton(page, IDC_TARGET_FAVORITES, IDC_TARGET_HTML, IDC_TARGET_HTML);
    }
    exportPolicy = Skip;
    CheckStartTypeBoxes(page);
  } else if (message == WM_COMMAND && !TakePolicyButton(page, LOWORD(wParam), exportPolicy)) {
    const int id = LOWORD(wParam);
    if (id == IDC_TARGET_FAVORITES || id == IDC_TARGET_HTML) {
      CheckRadioButton(page, IDC_TARGET_FAVORITES, IDC_TARGET_HTML, id);
      EnablePolicyButtons(page, id == IDC_TARGET_FAVORITES);
    } else if (id == IDC_RUN) {
      RunExport(page);
    }
  }
  return FALSE;
}

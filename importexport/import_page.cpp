// The Import page: source, link types, policy, and the run.
#include "addressdb/store.h"
#include "importexport/insert_entry.h"
#include "importexport/page_controls.h"
#include "importexport/pages.h"
#include "importexport/conversions.h"
#include "manager/app.h"
#include "manager/resource.h"

namespace {

int importPolicy = Skip;

void CheckStartBoxes(HWND page) {
  for (int box : {IDC_TYPE_WEB, IDC_TYPE_FTP, IDC_TYPE_EMAIL}) CheckDlgButton(page, box, BST_CHECKED);
}

void RunImport(HWND page) {
  if (IsDlgButtonChecked(page, IDC_SOURCE_FAVORITES) == BST_CHECKED) {
    SetStatusText(page, "MS Internet-Explorer-Favoriten importieren...");
    SetProgressRange(page, CountFavoriteFiles());
    ImportFavorites(page, importPolicy);
  }
  if (IsDlgButtonChecked(page, IDC_SOURCE_BOOKMARKS) == BST_CHECKED) {
    SetStatusText(page, "Netscape Bookmarks importieren...");
    SetProgressRange(page, 100);
    ImportBookmarks(page, importPolicy);
  }
  if (IsDlgButtonChecked(page, IDC_SOURCE_HOTLIST) == BST_CHECKED) {
    SetStatusText(page, "Mosaic Hotlists importieren...");
    SetProgressRange(page, 100);
    ImportHotlist(page, importPolicy);
  }
  SetProgressPosition(page, 0);
  SetStatusText(page, "");
}

}  // namespace

INT_PTR CALLBACK ImportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    if (!FavoritesAvailable) EnableWindow(GetDlgItem(page, IDC_SOURCE_FAVORITES), FALSE);
    importPolicy = Skip;
    CheckRadioButton(page, IDC_SOURCE_FAVORITES, IDC_SOURCE_HOTLIST,
                     FavoritesAvailable ? IDC_SOURCE_FAVORITES : IDC_SOURCE_BOOKMARKS);
    CheckRadioButton(page, IDC_POLICY_SKIP, IDC_POLICY_OVERWRITE, IDC_POLICY_SKIP);
    CheckStartBoxes(page);
  } else if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    if (id >= IDC_SOURCE_FAVORITES && id <= IDC_SOURCE_HOTLIST) {
      CheckRadioButton(page, IDC_SOURCE_FAVORITES, IDC_SOURCE_HOTLIST, id);
    } else if (id >= IDC_POLICY_SKIP && id <= IDC_POLICY_OVERWRITE) {
      CheckRadioButton(page, IDC_POLICY_SKIP, IDC_POLICY_OVERWRITE, id);
      importPolicy = id - IDC_POLICY_SKIP;
    } else if (id == IDC_RUN) {
      RunImport(page);
    }
  }
  return FALSE;
}

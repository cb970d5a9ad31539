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

void RunImport(HWND page) {
  RunCheckedSteps(page, {
      {IDC_SOURCE_FAVORITES, "MS Internet-Explorer-Favoriten importieren...",
       [] { return static_cast<long>(CountFavoriteFiles()); },
       [](HWND p) { ImportFavorites(p, importPolicy); }},
      {IDC_SOURCE_BOOKMARKS, "Netscape Bookmarks importieren...", [] { return 100L; },
       [](HWND p) { ImportBookmarks(p, importPolicy); }},
      {IDC_SOURCE_HOTLIST, "Mosaic Hotlists importieren...", [] { return 100L; },
       [](HWND p) { ImportHotlist(p, importPolicy); }},
  });
}

}  // namespace

INT_PTR CALLBACK ImportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    if (!FavoritesAvailable) EnableWindow(GetDlgItem(page, IDC_SOURCE_FAVORITES), FALSE);
    importPolicy = Skip;
    CheckRadioButton(page, IDC_SOURCE_FAVORITES, IDC_SOURCE_HOTLIST,
                     FavoritesAvailable ? IDC_SOURCE_FAVORITES : IDC_SOURCE_BOOKMARKS);
    CheckRadioButton(page, IDC_POLICY_SKIP, IDC_POLICY_OVERWRITE, IDC_POLICY_SKIP);
    CheckStartTypeBoxes(page);
  } else if (message == WM_COMMAND && !TakePolicyButton(page, LOWORD(wParam), importPolicy)) {
    const int id = LOWORD(wParam);
    if (id >= IDC_SOURCE_FAVORITES && id <= IDC_SOURCE_HOTLIST) {
      CheckRadioButton(page, IDC_SOURCE_FAVORITES, IDC_SOURCE_HOTLIST, id);
    } else if (id == IDC_RUN) {
      RunImport(page);
    }
  }
  return FALSE;
}

// The category pages over the template DLG_LINK.
#include "manager/category_page.h"

#include "common/center.h"
#include "manager/app.h"
#include "manager/messages.h"
#include "manager/resource.h"

namespace {

// Per page, in tab order; kept for the whole run, not per page window.
bool refillPending[7] = {};

int PageIndex(LinkType type) {
  switch (type) {
    case LinkType::Www: return 0;
    case LinkType::Ftp: return 1;
    case LinkType::Email: return 2;
    case LinkType::News: return 3;
    case LinkType::Gopher: return 4;
    case LinkType::Archie: return 5;
    case LinkType::Local: return 6;
    default: return -1;
  }
}

INT_PTR PageMessage(LinkType type, HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // The first page is created as the sheet opens: it centres the sheet.
      if (type == LinkType::Www) CenterWindow(GetDesktopWindow(), SheetWindow);
      if (!FavoritesAvailable) EnableWindow(GetDlgItem(page, IDC_LAUNCH), FALSE);
      return 0;
    default:
      return 0;
  }
}

template <LinkType T>
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return PageMessage(T, page, message, wParam, lParam);
}

}  // namespace

DLGPROC CategoryPage(LinkType type) {
  switch (type) {
    case LinkType::Www: return PageProc<LinkType::Www>;
    case LinkType::Ftp: return PageProc<LinkType::Ftp>;
    case LinkType::Email: return PageProc<LinkType::Email>;
    case LinkType::News: return PageProc<LinkType::News>;
    case LinkType::Gopher: return PageProc<LinkType::Gopher>;
    case LinkType::Archie: return PageProc<LinkType::Archie>;
    case LinkType::Local: return PageProc<LinkType::Local>;
    default: return nullptr;
  }
}

void SetRefillPending(LinkType type) {
  int index = PageIndex(type);
  if (index >= 0) refillPending[index] = true;
}

void SetRefillPendingAll() {
  for (bool& flag : refillPending) flag = true;
}

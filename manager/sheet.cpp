// The property sheet: its page table, its header and its callback.
#include "manager/sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <array>

#include "common/system_library.h"
#include "importexport/pages.h"
#include "manager/app.h"
#include "manager/category_page.h"
#include "manager/launch.h"
#include "manager/messages.h"

namespace {

// comctl32 from the system folder, never one beside the program.
const auto Init = CommonControlsFunction<decltype(&InitCommonControls)>("InitCommonControls");
const auto Sheet = CommonControlsFunction<decltype(&PropertySheetA)>("PropertySheetA");
const auto SetSubclass = CommonControlsFunction<decltype(&SetWindowSubclass)>("SetWindowSubclass");
const auto RemoveSubclass = CommonControlsFunction<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass");
const auto DefaultSubclass = CommonControlsFunction<decltype(&DefSubclassProc)>("DefSubclassProc");

struct PageEntry {
  const char* dialog;
  const char* title;
  DLGPROC procedure;
};

// When the session ends the process may be ended as soon as this message is
// answered: the waiting shortcuts go first, as at the program's end. The
// sheet's procedure is comctl32's, so it is subclassed, not replaced.
LRESULT CALLBACK SheetSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR id, DWORD_PTR) {
  if (message == WM_ENDSESSION && wParam) EndLaunches();
  if (message == WM_NCDESTROY) RemoveSubclass(window, SheetSubclass, id);
  return DefaultSubclass(window, message, wParam, lParam);
}

}  // namespace

int CALLBACK SheetCallback(HWND window, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED) return 0;
  SheetWindow = window;
  if (SetSubclass && RemoveSubclass && DefaultSubclass) SetSubclass(window, SheetSubclass, 0, 0);
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_MINIMIZEBOX);
  GetSystemMenu(window, TRUE);
  HMENU menu = GetSystemMenu(window, FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  RECT r;
  GetWindowRect(window, &r);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top - 30,
               SWP_NOZORDER | SWP_NOMOVE);
  DestroyWindow(GetDlgItem(window, IDOK));
  DestroyWindow(GetDlgItem(window, IDCANCEL));
  return 0;
}

void ShowSheet() {
  const std::array<PageEntry, 10> entries = {{
      {"DLG_LINK", " WWW ", CategoryPage(LinkType::Www)},
      {"DLG_LINK", " FTP ", CategoryPage(LinkType::Ftp)},
      {"DLG_LINK", " Email ", CategoryPage(LinkType::Email)},
      {"DLG_LINK", " News ", CategoryPage(LinkType::News)},
      {"DLG_LINK", " Gopher ", CategoryPage(LinkType::Gopher)},
      {"DLG_LINK", " Archie ", CategoryPage(LinkType::Archie)},
      {"DLG_LINK", " Lokal ", CategoryPage(LinkType::Local)},
      {"DLG_IMPORT", " Import ", ImportPageProc},
      {"DLG_EXPORT", " Export ", ExportPageProc},
      {"DLG_INFO", " Info ", nullptr},
  }};

  // comctl32 steps through the table by each record's dwSize: the records
  // must lie back to back at the first-version size.
  std::array<PROPSHEETPAGEA_V1, 10> pages{};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    PROPSHEETPAGEA_V1& p = pages[i];
    p.dwSize = sizeof(PROPSHEETPAGEA_V1);
    p.dwFlags = PSP_USETITLE;
    p.hInstance = Instance;
    p.pszTemplate = entries[i].dialog;
    p.pszTitle = entries[i].title;
    p.pfnDlgProc = entries[i].procedure;
    p.lParam = 0;
  }

  PROPSHEETHEADERA header{};
  header.dwSize = PROPSHEETHEADERA_V1_SIZE;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.hwndParent = nullptr;
  header.hInstance = Instance;
  header.hIcon = ProgramIcon;
  header.pszCaption = "QX Internet 2.0 - Internetadressen verwalten";
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages.data());
  header.pfnCallback = SheetCallback;
  if (Init == nullptr || Sheet == nullptr) return;  // no window without the system's comctl32
  Init();  // the progress bar of the import and export pages
  Sheet(&header);
}

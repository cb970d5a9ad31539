// The installer's wizard: start page, directory page and install page, each
// with the package picture on its left, in a property sheet in wizard mode.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <cstdio>

#include "common/bounded_text.h"
#include "common/center.h"
#include "common/system_library.h"
#include "installer/resource.h"
#include "installer/setup_app.h"

namespace {

const UINT WM_PAINTPICTURE = WM_USER + 130;
const UINT WM_STARTINSTALL = WM_USER + 131;

HBITMAP Picture = nullptr;
HFONT NameFont = nullptr;
HWND InstallPage = nullptr;

// Draws the picture unscaled into the page's frame, from its top-left corner.
void PaintPicture(HWND page) {
  HWND frame = GetDlgItem(page, IDC_PICTURE);
  RECT r;
  GetClientRect(frame, &r);
  HDC dc = GetDC(frame);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, Picture);
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(frame, dc);
}

// What every page does with the picture: once the frame has painted itself,
// draw the picture over it. Returns true when the message was the picture's.
bool HandlePicture(HWND page, UINT message, LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC) {
    if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_PICTURE) {
      PostMessageA(page, WM_PAINTPICTURE, 0, 0);
    }
    return false;  // the frame keeps its default colours
  }
  if (message == WM_PAINTPICTURE) {
    PaintPicture(page);
    return true;
  }
  return false;
}

UINT NotifyCode(LPARAM lParam) { return reinterpret_cast<NMHDR*>(lParam)->code; }

// The program's name in bold Arial three times the dialog font's height.
void UseNameFont(HWND label) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), sizeof font, &font);
  font.lfHeight *= 3;
  font.lfWidth = 0;
  font.lfWeight = FW_BOLD;
  lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
  NameFont = CreateFontIndirectA(&font);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(NameFont), TRUE);
}

INT_PTR CALLBACK StartPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (HandlePicture(page, message, lParam)) return TRUE;
  if (message == WM_INITDIALOG) {
    WizardFrame = GetParent(page);
    CenterWindow(GetDesktopWindow(), WizardFrame);
    UseNameFont(GetDlgItem(page, IDC_PROGRAM_NAME));
    SetDlgItemTextA(page, IDC_PROGRAM_NAME, Parameters.programName);
  } else if (message == WM_NOTIFY && NotifyCode(lParam) == PSN_SETACTIVE) {
    PostMessageA(WizardFrame, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
  }
  return FALSE;
}

// What was typed, as the full path of the folder it names from setup's
// current folder: the copy and the uninstaller must find the same folder. A
// text that names none is kept as typed; the first step refuses it.
void KeepTargetDirectory(HWND page) {
  char typed[kTextSize], full[kTextSize];
  GetDlgItemTextA(page, IDC_TARGET_DIRECTORY, typed, sizeof typed);
  const DWORD n = GetFullPathNameA(typed, sizeof full, full, nullptr);
  lstrcpynA(Parameters.targetDirectory, n > 0 && n < sizeof full ? full : typed, kTextSize);
}

INT_PTR CALLBACK DirectoryPage(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (HandlePicture(page, message, lParam)) return TRUE;
  // No more than the 259 characters kept is typed: nothing is cut unseen.
  if (message == WM_INITDIALOG) SendDlgItemMessageA(page, IDC_TARGET_DIRECTORY, EM_LIMITTEXT, kTextSize - 1, 0);
  if (message != WM_NOTIFY) return FALSE;
  if (NotifyCode(lParam) == PSN_SETACTIVE) {
    // No way back to the start page.
    PostMessageA(WizardFrame, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    SetDlgItemTextA(page, IDC_TARGET_DIRECTORY, Parameters.targetDirectory);
  } else if (NotifyCode(lParam) == PSN_KILLACTIVE) {
    KeepTargetDirectory(page);
  }
  return FALSE;
}

void ShowStatus(const char* text) { SetDlgItemTextA(InstallPage, IDC_STATUS, text); }

void StartInstallation(HWND page) {
  SetDlgItemTextA(page, IDC_MESSAGE, "Installieren...");
  SetDlgItemTextA(page, IDC_STATUS, "");
  SendMessageA(WizardFrame, PSM_SETFINISHTEXT, 0,
               reinterpret_cast<LPARAM>("&Schlie\xDF" "en"));
  SendMessageA(WizardFrame, PSM_SETWIZBUTTONS, 0, PSWIZB_DISABLEDFINISH);
  if (!RunInstallation(Parameters, ShowStatus)) ShowSetupError("Installation abgebrochen !");
  PostMessageA(WizardFrame, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
}

INT_PTR CALLBACK InstallPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (HandlePicture(page, message, lParam)) return TRUE;
  if (message == WM_INITDIALOG) {
    InstallPage = page;
  } else if (message == WM_STARTINSTALL) {
    StartInstallation(page);
    return TRUE;
  } else if (message == WM_NOTIFY && NotifyCode(lParam) == PSN_SETACTIVE) {
    PostMessageA(WizardFrame, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
    char text[kTextSize];
    FormatShown(text, "Das Programm \"%s\" wird installiert im Verzeichnis \"%s\" ...",
                Parameters.programName, Parameters.targetDirectory);
    SetDlgItemTextA(page, IDC_MESSAGE, text);
    SetDlgItemTextA(page, IDC_STATUS, "\"Weiter\" um die Installation zu starten...");
  } else if (message == WM_NOTIFY && NotifyCode(lParam) == PSN_WIZNEXT) {
    // The run starts once this notification has returned; the wizard stays here.
    PostMessageA(page, WM_STARTINSTALL, 0, 0);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowWizard(HINSTANCE instance) {
  char title[kTextSize];
  FormatShown(title, "QX Setup v1.0 - %s", Parameters.programName);
  HICON icon = LoadIconA(instance, "ICON_1");

  struct PageEntry {
    const char* dialog;
    DLGPROC procedure;
  };
  const std::array<PageEntry, 3> entries = {{
      {"DLG_START", StartPage},
      {"DLG_STEP2", DirectoryPage},
      {"DLG_INSTALL", InstallPageProc},
  }};
  // comctl32 steps through the table by each record's dwSize: the records
  // must lie back to back at the first-version size.
  std::array<PROPSHEETPAGEA_V1, 3> pages{};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA_V1);
    pages[i].dwFlags = PSP_USETITLE | PSP_USEHICON;
    pages[i].hInstance = instance;
    pages[i].pszTemplate = entries[i].dialog;
    pages[i].hIcon = icon;
    pages[i].pszTitle = title;
    pages[i].pfnDlgProc = entries[i].procedure;
  }
  PROPSHEETHEADERA header{};
  header.dwSize = PROPSHEETHEADERA_V1_SIZE;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW;
  header.hInstance = instance;
  header.hIcon = icon;
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages.data());
  const auto init = CommonControlsFunction<decltype(&InitCommonControls)>("InitCommonControls");
  const auto sheet = CommonControlsFunction<decltype(&PropertySheetA)>("PropertySheetA");
  if (init == nullptr || sheet == nullptr) return;  // no wizard without the system's comctl32
  init();
  // The picture and the name's font serve the pages: they go with the sheet.
  Picture = LoadBitmapA(instance, "BITMAP_1");
  sheet(&header);
  DeleteObject(Picture);
  DeleteObject(NameFont);  // none when the start page never opened: nothing happens
}

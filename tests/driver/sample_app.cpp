// driver_sample_app: a tiny property sheet that the UI driver's test works
// from outside. Pages are built from empty in-memory templates and their
// controls made in code, so the control ids live in this file (and the test).
// Texts are CP-1252. Exit code 7 when the sheet is closed or cancelled, 8 on
// OK, 1 if the sheet could not be shown.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

namespace {

// Control ids, repeated in driver_test.cpp.
enum : int {
  kIdName = 100,     // page 0: edit field
  kIdFolder = 101,   // page 0: current directory at start
  kIdWarn = 102,     // page 0: shows the exclamation box
  kIdAsk = 103,      // page 0: shows the Yes/No question box
  kIdAnswer = 104,   // page 0: "Yes" / "No" after the question
  kIdStop = 105,     // page 0: shows an OK/Cancel stop box
  kIdList = 200,     // page 1: list box
  kIdMirror = 201,   // page 1: mirrors the list selection
  kIdAbout = 300,    // page 2: static text
};

HFONT g_font = nullptr;

HWND Make(HWND page, const char* cls, const char* text, DWORD style, int id, int x, int y, int w,
          int h, DWORD exStyle = 0) {
  HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, page,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
  return control;
}

INT_PTR CALLBACK FirstPage(HWND page, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      char folder[MAX_PATH] = {};
      GetCurrentDirectoryA(sizeof folder, folder);
      Make(page, "Static", "Name:", 0, -1, 10, 12, 60, 20);
      Make(page, "Edit", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kIdName, 75, 10, 200, 22,
           WS_EX_CLIENTEDGE);
      Make(page, "Static", folder, SS_NOPREFIX, kIdFolder, 10, 40, 300, 20);
      Make(page, "Button", "Warnen", WS_TABSTOP | BS_PUSHBUTTON, kIdWarn, 10, 70, 80, 26);
      Make(page, "Button", "Fragen", WS_TABSTOP | BS_PUSHBUTTON, kIdAsk, 100, 70, 80, 26);
      Make(page, "Button", "Stopp", WS_TABSTOP | BS_PUSHBUTTON, kIdStop, 190, 70, 80, 26);
      Make(page, "Static", "-", 0, kIdAnswer, 10, 105, 200, 20);
      return TRUE;
    }
    case WM_COMMAND: {
      HWND sheet = GetParent(page);
      switch (LOWORD(wParam)) {
        case kIdWarn:
          MessageBoxA(sheet, "Text \xFC" "ber alles !", "Sample", MB_TASKMODAL | MB_ICONEXCLAMATION);
          return TRUE;
        case kIdAsk: {
          int answer = MessageBoxA(sheet, "Weiter?", "Frage", MB_YESNO | MB_ICONQUESTION);
          SetDlgItemTextA(page, kIdAnswer, answer == IDYES ? "Yes" : answer == IDNO ? "No" : "?");
          return TRUE;
        }
        case kIdStop: {
          int answer = MessageBoxA(sheet, "Halt!", "Stopp", MB_OKCANCEL | MB_ICONHAND);
          SetDlgItemTextA(page, kIdAnswer, answer == IDOK ? "OK" : answer == IDCANCEL ? "Cancel" : "?");
          return TRUE;
        }
      }
      break;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK SecondPage(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      HWND list = Make(page, "ListBox", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY,
                       kIdList, 10, 10, 180, 110);
      const char* items[] = {"Apfel", "Birne", "K\xE4" "se", "\xDC" "bersicht"};
      for (const char* item : items) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      Make(page, "Static", "", SS_NOPREFIX, kIdMirror, 200, 10, 150, 20);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdList &&
          (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK)) {
        HWND list = reinterpret_cast<HWND>(lParam);
        const int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        std::string text;
        if (index != LB_ERR) {
          text.resize(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, index, 0)) + 1);
          text.resize(static_cast<size_t>(
              SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]))));
        }
        if (HIWORD(wParam) == LBN_DBLCLK) text = "Doppelt: " + text;
        SetDlgItemTextA(page, kIdMirror, text.c_str());
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK ThirdPage(HWND page, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    Make(page, "Static", "\xDC" "ber dieses Beispiel", SS_NOPREFIX, kIdAbout, 10, 10, 250, 20);
    return TRUE;
  }
  return FALSE;
}

// An empty dialog: DLGTEMPLATE followed by no menu, the default class and no
// title. Must be DWORD-aligned.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE head;
  WORD menu, windowClass, title;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  g_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  EmptyTemplate pageTemplate{};
  pageTemplate.head.style = WS_CHILD | DS_CONTROL;
  pageTemplate.head.cx = 240;
  pageTemplate.head.cy = 130;

  // PropertySheetA steps through the array by each record's dwSize, so the
  // records must really be that size.
  const char* titles[] = {" One ", " Zwei ", "\xDC" "ber"};
  DLGPROC procs[] = {FirstPage, SecondPage, ThirdPage};
  PROPSHEETPAGEA_V1 pages[3] = {};
  for (int i = 0; i < 3; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA_V1);
    pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    pages[i].hInstance = instance;
    pages[i].pResource = &pageTemplate.head;
    pages[i].pszTitle = titles[i];
    pages[i].pfnDlgProc = procs[i];
  }

  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hInstance = instance;
  header.pszCaption = "Driver Sample";
  header.nPages = 3;
  header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);

  const INT_PTR result = PropertySheetA(&header);
  if (result < 0) return 1;
  return result > 0 ? 8 : 7;
}

// Prints how long qxinet.exe takes, over a data file of 10 records and one of
// 100,000 (nine in ten of them WWW), from its start to the filled WWW page;
// for an addition, a change of name and a deletion on that page, from the
// last click to the list showing the change; and for a switch to the FTP page
// and back. Worked from outside by the UI driver; needs a display (see the
// README). QX_QXINET names another qxinet.exe to time (an older build, say).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "manager/resource.h"
#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 120000;

double Since(LARGE_INTEGER from) {
  LARGE_INTEGER now, f;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&f);
  return double(now.QuadPart - from.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

std::string Program() {
  if (const char* other = std::getenv("QX_QXINET")) return other;
  std::string path = QXINET_EXE;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

HWND List(HWND sheet) { return GetDlgItem(CurrentPage(sheet), IDC_LIST); }

// The page on show has count items and its selection's link on show.
bool Filled(HWND sheet, int tab, int count) {
  if (TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet)) != tab) return false;
  return SendMessageA(List(sheet), LB_GETCOUNT, 0, 0) == count &&
         !GetText(GetDlgItem(CurrentPage(sheet), IDC_LINKTEXT)).empty();
}

// Item selected as by a click, then the button pressed; the dialog or box that opens.
HWND Press(DWORD pid, HWND sheet, int item, int button) {
  HWND page = CurrentPage(sheet);
  if (item >= 0) {
    SendMessageA(List(sheet), LB_SETCURSEL, item, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_SELCHANGE), LPARAM(List(sheet)));
  }
  ClickButton(GetDlgItem(page, button));
  return button == IDC_DELETE ? nullptr : WaitForWindow(pid, "QX Internet", "#32770", kWait);
}

bool Has(HWND sheet, const char* name) {
  return SendMessageA(List(sheet), LB_FINDSTRINGEXACT, -1, LPARAM(name)) != LB_ERR;
}

int Bench(int web, int ftp) {
  TestFolder folder;
  std::string bytes;
  for (int i = 0; i < web + ftp; ++i) {  // in name order, as the store keeps them
    char name[32];
    std::snprintf(name, sizeof name, "Eintrag %06d", i);
    const bool isWeb = i % 10 != 0;
    bytes += Bytes({MakeRecord(name, (isWeb ? "http://www.example.org/" : "ftp://ftp.example.org/") + std::to_string(i),
                               "Beschreibung " + std::to_string(i))});
  }
  WriteBytes("qxinetvz.dat", bytes);
  const int total = web + ftp;

  LARGE_INTEGER start = Now();
  Process app = StartProgram(Program(), "", folder.path());
  HWND sheet = WaitForWindow(app.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
  auto step = [&](const char* what, const std::function<bool()>& done) {
    if (WaitUntil([&] { return done(); }, kWait)) {
      std::printf("%6d records: %-34s %7.3f s\n", total, what, Since(start));
      return true;
    }
    std::printf("%6d records: %s did not end; seen:\n%s\n", total, what, Seen(app).c_str());
    return false;
  };
  bool ok = sheet && step("start to the filled WWW page", [&] { return Filled(sheet, 0, web); });

  if (ok) {  // a new entry typed, saved
    HWND dialog = Press(app.pid, sheet, -1, IDC_NEW);
    SetText(GetDlgItem(dialog, IDC_NAME), "Eintrag 000500 neu");
    SetText(GetDlgItem(dialog, IDC_LINK), "http://neu.example.org/");
    start = Now();
    ClickButton(GetDlgItem(dialog, IDC_SAVE));
    ok = step("an addition", [&] { return Filled(sheet, 0, web + 1) && Has(sheet, "Eintrag 000500 neu"); });
  }
  if (ok) {  // the name of the fourth entry changed
    HWND dialog = Press(app.pid, sheet, 3, IDC_CHANGE);
    SetText(GetDlgItem(dialog, IDC_NAME), "Umbenannt");
    start = Now();
    ClickButton(GetDlgItem(dialog, IDC_SAVE));
    ok = step("a change of name", [&] { return Filled(sheet, 0, web + 1) && Has(sheet, "Umbenannt"); });
  }
  if (ok) {  // the second entry deleted
    MessageBoxInfo box;
    Press(app.pid, sheet, 1, IDC_DELETE);
    ok = WaitForMessageBox(app.pid, "QX Internet 2.0", kWait, box);
    if (!ok) std::printf("no question before the deletion; seen:\n%s\n", Seen(app).c_str());
    start = Now();
    ok = ok && AnswerMessageBox(box, IDYES) && step("a deletion", [&] { return Filled(sheet, 0, web); });
  }
  for (int round = 1; ok && round <= 2; ++round) {
    start = Now();
    ok = SelectTab(sheet, 1, kWait) &&
         step(round == 1 ? "a switch to FTP (page created)" : "a switch to FTP", [&] { return Filled(sheet, 1, ftp); });
    start = Now();
    ok = ok && SelectTab(sheet, 0, kWait) && step("and back to WWW", [&] { return Filled(sheet, 0, web); });
  }
  if (sheet) PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code;
  if (!WaitForExit(app, kWait, code)) KillProgram(app);
  return ok ? 0 : 1;
}

}  // namespace

int main() {
  const int small = Bench(9, 1);
  return Bench(90000, 10000) | small;
}

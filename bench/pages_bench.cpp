// Prints how long qxinet.exe takes from its start to a filled WWW page over a
// data file of 10,000 records, and a switch to another category page and back.
// Worked from outside by the UI driver; needs a display (see the README).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 60000;

double Since(LARGE_INTEGER from) {
  LARGE_INTEGER now, f;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(now.QuadPart - from.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

std::string WindowsPath(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : c;
  return "Z:" + path;
}

// The page on show has its list filled and its selection's link on show.
bool Filled(HWND sheet, int tab, int count) {
  if (TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet)) != tab) return false;
  HWND page = CurrentPage(sheet);
  return SendMessageA(GetDlgItem(page, 101), LB_GETCOUNT, 0, 0) == count &&
         !GetText(GetDlgItem(page, 102)).empty();
}

}  // namespace

int main() {
  const int web = 9000, ftp = 1000;
  TestFolder folder;
  std::string bytes;
  // Names in file order already sorted, as the store keeps them.
  for (int i = 0; i < web + ftp; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Eintrag %05d", i);
    bool isWeb = i % 10 != 0;
    bytes += Bytes({MakeRecord(name, (isWeb ? "http://www.example.org/" : "ftp://ftp.example.org/") +
                                        std::to_string(i),
                              "Beschreibung " + std::to_string(i))});
  }
  WriteBytes("qxinetvz.dat", bytes);

  LARGE_INTEGER start = Now();
  Process app = StartProgram(WindowsPath(QXINET_EXE), "", folder.path());
  HWND sheet = WaitForWindow(app.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
  if (!sheet || !WaitUntil([&] { return Filled(sheet, 0, web); }, kWait)) {
    std::printf("qxinet did not show its filled WWW page\n");
    KillProgram(app);
    return 1;
  }
  std::printf("%d records: start to filled WWW page       %8.1f ms\n", web + ftp, Since(start));
  for (int round = 1; round <= 2; ++round) {
    start = Now();
    SelectTab(sheet, 1, kWait);
    WaitUntil([&] { return Filled(sheet, 1, ftp); }, kWait);
    double there = Since(start);
    start = Now();
    SelectTab(sheet, 0, kWait);
    WaitUntil([&] { return Filled(sheet, 0, web); }, kWait);
    std::printf("switch to FTP page %s %8.1f ms, back to WWW %8.1f ms\n",
                round == 1 ? "(created)     " : "(again)       ", there, Since(start));
  }
  PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code;
  if (!WaitForExit(app, kWait, code)) KillProgram(app);
  return 0;
}

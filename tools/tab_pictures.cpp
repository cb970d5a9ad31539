// Takes the pictures of qxinet's window for the README: starts the program
// given first in a fresh folder with a few entries and writes a picture of
// every tab, tab-<n>-<name>.bmp, and of the entry dialog, entry-dialog.bmp,
// into the folder given second.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"
#include "tools/window_picture.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tab_pictures QXINET.EXE FOLDER\n");
    return 2;
  }
  TestFolder folder;
  WriteBytes("qxinetvz.dat",
             Bytes({MakeRecord("Beispiel", "http://www.example.org/", "Ein Beispiel"),
                    MakeRecord("Dateien", "ftp://ftp.example.org/pub/", "Ablage"),
                    MakeRecord("Wetter", "http://wetter.example.org/", "Vorhersage"),
                    MakeRecord("Wikipedia", "http://de.wikipedia.org/", "Die freie Enzyklop\xE4" "die")}));
  Process qxinet = StartProgram(argv[1], "", folder.path());
  HWND sheet = WaitForWindow(qxinet.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, 20000);
  const char* const names[10] = {"www", "ftp", "email", "news", "gopher",
                                 "archie", "lokal", "import", "export", "info"};
  int made = 0;
  for (int tab = 0; sheet != nullptr && tab < 10; ++tab) {
    std::string file = std::string(argv[2]) + "\\tab-" + std::to_string(tab) + "-" + names[tab] + ".bmp";
    if (SelectTab(sheet, tab) && SaveWindowPicture(sheet, file)) ++made;
    else std::fprintf(stderr, "no picture of tab %d\n", tab);
  }
  // The entry dialog of a new entry on the WWW page, typed in and cancelled.
  if (sheet != nullptr && SelectTab(sheet, 0)) {
    ClickButton(GetDlgItem(CurrentPage(sheet), 106));
    HWND dialog = WaitForWindow(qxinet.pid, "QX Internet", "#32770", 20000);
    if (dialog != nullptr) {
      SetText(GetDlgItem(dialog, 101), "Nachrichten");
      SetText(GetDlgItem(dialog, 102), "http://www.tagesschau.de/");
      SetText(GetDlgItem(dialog, 103), "Aktuelle Meldungen");
      if (SaveWindowPicture(dialog, std::string(argv[2]) + "\\entry-dialog.bmp")) ++made;
      ClickButton(GetDlgItem(dialog, 105));
      WaitForWindowGone(dialog, 20000);
    }
  }
  if (sheet != nullptr) PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 0;
  if (!WaitForExit(qxinet, 20000, code)) KillProgram(qxinet);
  std::printf("%d pictures\n", made);
  return made == 11 ? 0 : 1;
}

// Takes the pictures of the package's programs for the README: setup.exe
// from the package folder given first, its three wizard pages
// (setup-1-start.bmp, setup-2-directory.bmp, setup-3-install.bmp; the wizard
// is cancelled before it installs anything), and the uninstaller's dialog
// (qxuninst.bmp, cancelled), into the folder given second.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/driver/uidriver.h"
#include "tools/window_picture.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: package_pictures PACKAGE-FOLDER FOLDER\n");
    return 2;
  }
  const std::string package = argv[1], pictures = std::string(argv[2]) + "\\";
  int made = 0;
  Process setup = StartProgram(package + "\\setup.exe", "", package);
  HWND wizard = WaitForWindow(setup.pid, "QX Setup v1.0 - QX Internet", "#32770", 20000);
  for (const char* page : {"setup-1-start", "setup-2-directory", "setup-3-install"}) {
    if (wizard == nullptr) break;
    HWND shown = CurrentPage(wizard);
    if (SaveWindowPicture(wizard, pictures + page + ".bmp")) ++made;
    ClickButton(GetDlgItem(wizard, 0x3024));  // "Weiter", but not on the last page
    if (std::string(page) != "setup-3-install")
      WaitUntil([&] { return CurrentPage(wizard) != shown; }, 20000);
  }
  if (wizard != nullptr) PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
  Process uninstall = StartProgram(package + "\\qxuninst.exe", "QX Internet", package);
  HWND dialog = WaitForWindow(uninstall.pid, "QX Uninstall v1.0", "#32770", 20000);
  if (dialog != nullptr && SaveWindowPicture(dialog, pictures + "qxuninst.bmp")) ++made;
  if (dialog != nullptr) ClickButton(GetDlgItem(dialog, 103));
  DWORD code = 0;
  for (Process* p : {&setup, &uninstall})
    if (!WaitForExit(*p, 20000, code)) KillProgram(*p);
  std::printf("%d pictures\n", made);
  return made == 4 ? 0 : 1;
}

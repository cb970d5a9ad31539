// Entry point of the uninstaller: the program name from the command line,
// then the dialog.
#include <windows.h>

#include <string>

#include "uninstaller/command_line.h"
#include "uninstaller/uninstall_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The platform's own command line: the name may hold blanks and quotes.
  const std::string name(ProgramNameFromCommandLine(GetCommandLineA()));
  if (name.empty()) {
    ErrorBox("QXUninstall braucht eine Programmbezeichnung als Parameter !");
    return 0;
  }
  ProgramName = name.c_str();
  ProgramIcon = LoadIconA(instance, "ICON_1");
  DialogBoxParamA(instance, "DLG_MAIN", nullptr, MainDialogProc, 0);
  return 0;
}

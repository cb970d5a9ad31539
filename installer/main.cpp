// Entry point of the installer: check setup.ini, then show the wizard.
#include <windows.h>

#include "installer/setup_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (LoadSetupParameters()) ShowWizard(instance);
  return 0;
}

// Entry point of the address manager: start-up, the sheet, shutdown.
#include <windows.h>

#include "addressdb/store.h"
#include "manager/app.h"
#include "manager/launch.h"
#include "manager/resource_check.h"
#include "manager/sheet.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Instance = instance;
  if (!ResourcesUnaltered(instance)) return 0;
  ProgramIcon = LoadIconA(instance, "ICON_1");
  if (!OpenStore()) return 0;
  FavoritesAvailable = ReadFavoritesFolder();
  ShowSheet();
  EndLaunches();
  CloseStore();
  return 0;
}

// Stands in for the system's URL opener in the launch test: notes where it was
// started from and the link of the shortcut it was given, then stays until the
// test releases it, so that the test sees what the window does meanwhile.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR line, int) {
  char self[MAX_PATH] = "", link[512] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  GetPrivateProfileStringA("InternetShortcut", "URL", "", link, sizeof link, std::strrchr(line, ' ') + 1);
  std::ofstream(std::getenv("QX_OPENER_LOG"), std::ios::app | std::ios::binary) << self << "|" << link << "\n";
  WaitForSingleObject(OpenEventA(SYNCHRONIZE, FALSE, "QxOpenerRelease"), 30000);
  std::ofstream(std::getenv("QX_OPENER_LOG"), std::ios::app | std::ios::binary) << "end\n";
  return 0;
}

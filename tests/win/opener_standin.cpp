// Stands in for the system's URL opener in the launch test: notes where it was
// started from, its current folder and the link of the shortcut it was given,
// then stays until the test releases it, so that the test sees what the window
// does meanwhile.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// Appended in turn: Wine appends by writing at the size it has just read, so
// two stand-ins released at once could both write at one place, one note over
// the other. The file is closed before the turn is given back.
void Note(const std::string& text) {
  HANDLE turn = CreateMutexA(nullptr, FALSE, "QxOpenerLogTurn");
  WaitForSingleObject(turn, 30000);
  std::ofstream(std::getenv("QX_OPENER_LOG"), std::ios::binary | std::ios::app) << text;
  ReleaseMutex(turn), CloseHandle(turn);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR line, int) {
  char self[MAX_PATH] = "", folder[MAX_PATH] = "", link[512] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, folder);
  GetPrivateProfileStringA("InternetShortcut", "URL", "", link, sizeof link, std::strrchr(line, ' ') + 1);
  Note(std::string(self) + "|" + folder + "|" + link + "\n");
  WaitForSingleObject(OpenEventA(SYNCHRONIZE, FALSE, "QxOpenerRelease"), 30000);
  Note("end\n");
  return 0;
}

// Stands in for the system's URL opener in the launch tests: notes where it
// was started from and the link of the shortcut it was given, then stays
// until the test releases it, so that the test sees what happens meanwhile.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR line, int) {
  char self[MAX_PATH] = "", link[512] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const char* shortcut = std::strrchr(line, ' ');
  if (shortcut != nullptr)
    GetPrivateProfileStringA("InternetShortcut", "URL", "", link, sizeof link, shortcut + 1);
  const char* log = std::getenv("QX_OPENER_LOG");
  auto note = [log](const std::string& text) {
    HANDLE file = CreateFileA(log ? log : "NUL", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
  };
  note(std::string(self) + "|" + link + "\n");
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "QxOpenerRelease");
  WaitForSingleObject(release, 30000);
  note("end\n");
  return 0;
}

// The removal run: read the installation's keys, delete the listed files and
// the directory, delete the keys. Only a missing installation directory stops
// it; everything else that fails is passed over.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/bounded_text.h"
#include "common/contained_name.h"
#include "uninstaller/command_line.h"
#include "uninstaller/install_directory.h"
#include "uninstaller/resource.h"
#include "uninstaller/uninstall_app.h"

namespace {

// Puts the stage's text into the status line, then lets the user read it.
void Stage(HWND dialog, const char* text, DWORD pause) {
  SetDlgItemTextA(dialog, IDC_STATUS, text);
  Sleep(pause);
}

// Reads a REG_SZ value of at most 259 characters; false when missing, too
// long or not a text.
bool ReadText(HKEY key, const char* value, char (&text)[MAX_PATH]) {
  DWORD type = 0, size = sizeof text;
  if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  if (size == 0 || text[size - 1] != '\0') {  // a value stored without its zero
    if (size == sizeof text) return false;
    text[size] = '\0';
  }
  return true;
}

// The installation directory with a final backslash, or false when there is
// none to be found or it would not fit.
bool ReadInstallDirectory(const char* keyName, std::string& directory) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char path[MAX_PATH];
  const bool found = ReadText(key, "InstallPath", path);
  RegCloseKey(key);
  return found && DirectoryForJoining(path, directory);
}

void DeleteListedFiles(HWND dialog, const char* keyName, const char* directory) {
  char listName[MAX_PATH];
  HKEY key;
  if (!FormatWhole(listName, "%s\\DelFiles", keyName) ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, listName, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return;
  }
  for (int n = 1; n <= 20; ++n) {
    char value[16], file[MAX_PATH];
    std::snprintf(value, sizeof value, "File%d", n);
    if (!ReadText(key, value, file) || file[0] == '\0') continue;
    char status[MAX_PATH], path[MAX_PATH];
    FormatShown(status, "L\xF6schen : %s ...", file);
    Stage(dialog, status, 1000);
    // A path that would be cut names another file, and a name that leads out
    // of the directory a file the installation did not bring: both are left alone.
    if (StaysInFolder(file) && FormatWhole(path, "%s%s", directory, file)) DeleteFileA(path);
  }
  RegCloseKey(key);
}

void DeleteProgramKey(HKEY root, const char* parentName) {
  HKEY parent;
  if (RegOpenKeyExA(root, parentName, 0, KEY_READ, &parent) != ERROR_SUCCESS) return;
  RegDeleteKeyA(parent, ProgramName);
  RegCloseKey(parent);
}

}  // namespace

void RemoveInstallation(HWND dialog) {
  Stage(dialog, "Eintr\xE4ge aus Registry lesen...", 1000);
  char keyName[MAX_PATH];
  std::string directory;
  if (std::strlen(ProgramName) > kMaxProgramName ||
      !FormatWhole(keyName, "Software\\QXApps\\%s", ProgramName) ||
      !ReadInstallDirectory(keyName, directory)) {
    ErrorBox("Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !");
    SetDlgItemTextA(dialog, IDC_STATUS, "Deinstallation abgebrochen !");
    return;
  }

  Stage(dialog, "Dateien l\xF6schen...", 1000);
  DeleteListedFiles(dialog, keyName, directory.c_str());

  Stage(dialog, "Verzeichnis l\xF6schen...", 1000);
  RemoveDirectoryA(DirectoryToRemove(directory).c_str());

  Stage(dialog, "Eintr\xE4ge aus Registry l\xF6schen...", 1000);
  // The platform may refuse a key that still has subkeys: DelFiles goes first.
  char listName[MAX_PATH];
  if (FormatWhole(listName, "%s\\DelFiles", keyName)) RegDeleteKeyA(HKEY_LOCAL_MACHINE, listName);
  DeleteProgramKey(HKEY_LOCAL_MACHINE, "Software\\QXApps");
  DeleteProgramKey(HKEY_CURRENT_USER, "Software\\QXApps");
  DeleteProgramKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");

  Stage(dialog, "Deinstallation beendet...", 3000);
}

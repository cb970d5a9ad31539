// The removal run: read the installation's keys, delete the listed files and
// the directory, delete the keys. A missing installation directory stops it,
// and so does a listed file that stays: the keys are kept, so that the removal
// can be tried again. Everything else that fails is passed over.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/bounded_text.h"
#include "common/contained_name.h"
#include "common/installation_keys.h"
#include "common/read_only.h"
#include "common/reparse_point.h"
#include "uninstaller/install_directory.h"
#include "uninstaller/resource.h"
#include "uninstaller/uninstall_app.h"

namespace {

// The installation's keys below HKEY_LOCAL_MACHINE lie in its 64-bit view,
// which both builds of setup write.
constexpr REGSAM kMachineView = KEY_WOW64_64KEY;

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

// The installation directory as stored; false when there is none.
bool ReadInstallPath(const char* keyName, char (&path)[MAX_PATH]) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ | kMachineView, &key) != ERROR_SUCCESS) return false;
  const bool found = ReadText(key, kInstallPathValue, path);
  RegCloseKey(key);
  return found;
}

// Whether the file is gone: deleted now (read-only as copied from a CD, or
// not), or never there (a name no file can have included). A folder of that
// name is no file the installation brought. A file that stays keeps its
// attributes.
bool Removed(const char* path) {
  const DWORD attributes = ClearReadOnly(path);
  if (DeleteFileA(path)) return true;
  RestoreReadOnly(path, attributes);
  return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Deletes the listed files in order. Stops with false at the first that stays
// (the program runs), after telling the user which.
bool DeleteListedFiles(HWND dialog, const char* keyName, const char* directory) {
  char listName[MAX_PATH];
  HKEY key;
  if (!FormatWhole(listName, "%s\\%s", keyName, kListKey) ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, listName, 0, KEY_READ | kMachineView, &key) != ERROR_SUCCESS) {
    return true;
  }
  std::string stays;  // the first listed file that could not be deleted
  for (int n = 1; n <= kMaxEntries && stays.empty(); ++n) {
    char value[16], file[MAX_PATH];
    std::snprintf(value, sizeof value, kListedFileValue, n);
    if (!ReadText(key, value, file) || file[0] == '\0') continue;
    char status[MAX_PATH], path[MAX_PATH];
    FormatShown(status, "L\xF6schen : %s ...", file);
    Stage(dialog, status, 1000);
    // A path that would be cut names another file, and a name that leads out
    // of the directory, to a device or a stream, or through a reparse point,
    // a file the installation did not bring: both are left alone.
    if (!NamesFileInFolder(file) || ThroughReparsePoint(directory, file) ||
        !FormatWhole(path, "%s%s", directory, file) || Removed(path)) {
      continue;
    }
    stays = file;
  }
  RegCloseKey(key);
  if (stays.empty()) return true;
  char text[MAX_PATH + 80];
  FormatShown(text, "Datei %s konnte nicht gel\xF6scht werden ! \nDeinstallation abgebrochen !", stays.c_str());
  ErrorBox(text);
  return false;
}

void DeleteProgramKey(HKEY root, const char* parentName) {
  const REGSAM view = root == HKEY_LOCAL_MACHINE ? kMachineView : 0;
  HKEY parent;
  if (RegOpenKeyExA(root, parentName, 0, KEY_READ | view, &parent) != ERROR_SUCCESS) return;
  RegDeleteKeyExA(parent, ProgramName, view, 0);
  RegCloseKey(parent);
}

// The run ends here, after the box that told why.
void Abandon(HWND dialog) { SetDlgItemTextA(dialog, IDC_STATUS, "Deinstallation abgebrochen !"); }

// The installation folder is not one to remove from: why, and nothing done.
void RefuseDirectory(HWND dialog, const char* path, const char* why) {
  char text[MAX_PATH + 80];
  FormatShown(text, "Installationsverzeichnis %s %s ! \nDeinstallation abgebrochen !", path, why);
  ErrorBox(text);
  Abandon(dialog);
}

}  // namespace

void RemoveInstallation(HWND dialog) {
  Stage(dialog, "Eintr\xE4ge aus Registry lesen...", 1000);
  char keyName[MAX_PATH], path[MAX_PATH];
  std::string directory;
  // A name of several key components was never written by setup.
  if (std::strlen(ProgramName) > kMaxProgramName || std::strchr(ProgramName, '\\') != nullptr ||
      !FormatWhole(keyName, "%s\\%s", kProgramsKey, ProgramName) || !ReadInstallPath(keyName, path) ||
      !DirectoryForJoining(path, directory)) {
    ErrorBox("Kein Eintrag f\xFCr Installationsverzeichnis in Registry gefunden !");
    Abandon(dialog);
    return;
  }
  // A relative path names a folder below the uninstaller's current one
  // (usually the system folder), not the one that was installed.
  if (!IsFullPath(path)) return RefuseDirectory(dialog, path, "ist kein vollst\xE4ndiger Pfad");
  // A folder that leads elsewhere (a junction prepared in advance) is none to remove from.
  if (ThroughReparsePoint(directory, ""))
    return RefuseDirectory(dialog, path, "ist ein Verweis auf ein anderes Verzeichnis");

  Stage(dialog, "Dateien l\xF6schen...", 1000);
  if (!DeleteListedFiles(dialog, keyName, directory.c_str())) {
    Abandon(dialog);
    return;
  }

  Stage(dialog, "Verzeichnis l\xF6schen...", 1000);
  RemoveDirectoryA(DirectoryToRemove(directory).c_str());

  Stage(dialog, "Eintr\xE4ge aus Registry l\xF6schen...", 1000);
  // The platform may refuse a key that still has subkeys: the list goes first.
  char listName[MAX_PATH];
  if (FormatWhole(listName, "%s\\%s", keyName, kListKey)) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, listName, kMachineView, 0);
  DeleteProgramKey(HKEY_LOCAL_MACHINE, kProgramsKey);
  DeleteProgramKey(HKEY_CURRENT_USER, kProgramsKey);
  DeleteProgramKey(HKEY_LOCAL_MACHINE, kUninstallListKey);

  Stage(dialog, "Deinstallation beendet...", 3000);
}

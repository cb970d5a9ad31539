// The installation: create the target directory, copy the package files and
// the uninstaller, write the registry entries. Nothing is undone after a
// failure; the user sees what was done so far.
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/bounded_text.h"
#include "common/contained_name.h"
#include "common/installation_keys.h"
#include "common/read_only.h"
#include "common/reparse_point.h"
#include "installer/folder_rights.h"
#include "installer/setup_app.h"

namespace {

const char kDirectoryFailed[] = "Installations-Verzeichnis konnte nicht erzeugt werden";
const char kCopyFailed[] = "Fehler beim Kopieren der Dateien !";
const char kNothingToCopy[] = "Keine Dateien zu kopieren !?";
const char kRegistryFailed[] = "Fehler beim Schreiben in die Registrierung !";
const char kDirectoryIsLink[] = "Installations-Verzeichnis ist ein Verweis auf ein anderes Verzeichnis !";
const char kDirectoryOpen[] = "Installations-Verzeichnis kann auch von anderen Benutzern ge\xE4ndert werden !";

// Each folder setup makes: full control for Administrators and SYSTEM, read
// and run for Users, nothing inherited from above: a new folder in C:\ would
// let every user change the program that runs for every user.
const char kFolderSecurity[] = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

// The entries of the folder's access list; false when it cannot be read or
// there is none (no list lets everyone in).
bool ReadAccessList(const std::string& folder, std::vector<AccessEntry>& entries) {
  DWORD size = 0;
  GetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<unsigned char> descriptor(size);
  BOOL present = FALSE, defaulted = FALSE;
  ACL* list = nullptr;
  if (size == 0 ||
      !GetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
      !GetSecurityDescriptorDacl(descriptor.data(), &present, &list, &defaulted) || !present || list == nullptr) {
    return false;
  }
  for (DWORD i = 0; i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, i, reinterpret_cast<void**>(&header))) return false;
    const BYTE type = header->AceType;
    const bool allows = type == ACCESS_ALLOWED_ACE_TYPE || type == ACCESS_ALLOWED_COMPOUND_ACE_TYPE ||
                        type == ACCESS_ALLOWED_OBJECT_ACE_TYPE || type == ACCESS_ALLOWED_CALLBACK_ACE_TYPE ||
                        type == ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE;
    // Every kind keeps its mask first; other kinds than the plain one keep
    // more before their SID: an unknown trustee.
    AccessEntry entry{allows, "", reinterpret_cast<ACCESS_ALLOWED_ACE*>(header)->Mask};
    char* sid = nullptr;
    if (type == ACCESS_ALLOWED_ACE_TYPE &&
        ConvertSidToStringSidA(&reinterpret_cast<ACCESS_ALLOWED_ACE*>(header)->SidStart, &sid)) {
      entry.sid = sid;
      LocalFree(sid);
    }
    entries.push_back(entry);
  }
  return true;
}

bool CreateOne(const std::string& directory, SECURITY_ATTRIBUTES& security) {
  return CreateDirectoryA(directory.c_str(), &security) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A system directory (Windows or current) without a trailing backslash; empty
// when the platform could not give it.
std::string SystemDirectory(UINT (*get)(char*, UINT)) {
  char path[kTextSize];
  UINT n = get(path, sizeof path);
  if (n == 0 || n >= sizeof path) return "";
  return std::string(WithoutTrailingBackslash(path));
}

UINT WindowsDirectory(char* path, UINT size) { return GetWindowsDirectoryA(path, size); }
UINT CurrentDirectory(char* path, UINT size) { return GetCurrentDirectoryA(size, path); }

// Copies the uninstaller into the Windows directory and marks it read-only,
// system and archive; an earlier copy, marked so, is made writable first and
// marked again if it stays. A failure here stops nothing and is not reported.
void PlaceUninstaller(const std::string& current, const std::string& windows) {
  char source[kTextSize], target[kTextSize];
  if (current.empty() || windows.empty()) return;
  if (!FormatWhole(source, "%s\\qxuninst.exe", current.c_str()) ||
      !FormatWhole(target, "%s\\qxuninst.exe", windows.c_str())) {
    return;
  }
  const DWORD earlier = ClearReadOnly(target);
  if (CopyFileA(source, target, FALSE)) {
    SetFileAttributesA(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_ARCHIVE);
  } else {
    RestoreReadOnly(target, earlier);
  }
}

// Copies a package file over what is there, read-only or not. The copy keeps
// the source's attributes: a file from a CD would stay read-only, and the
// uninstaller could not delete it.
bool CopyOver(const char* source, const char* destination) {
  const DWORD earlier = ClearReadOnly(destination);
  if (!CopyFileA(source, destination, FALSE)) {
    RestoreReadOnly(destination, earlier);
    return false;
  }
  ClearReadOnly(destination);
  return true;
}

// Creates or opens the key parent\name (\sub) below HKEY_LOCAL_MACHINE, in
// its 64-bit view whichever build runs, so that the uninstaller of either
// build finds the installation of both; the name must fit its buffer like
// every other composed text.
HKEY CreateKey(const char* parent, const char* name, const char* sub = nullptr) {
  char keyName[kTextSize];
  if (!(sub ? FormatWhole(keyName, "%s\\%s\\%s", parent, name, sub)
            : FormatWhole(keyName, "%s\\%s", parent, name))) {
    return nullptr;
  }
  HKEY key = nullptr;
  char keyClass[] = "qxapps";
  DWORD disposition;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, keyClass, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

void SetText(HKEY key, const char* value, const char* text) {
  RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace

bool CreateTargetDirectory(const SetupParameters& params) {
  // A relative folder would be another one for the uninstaller.
  if (!IsFullPath(params.targetDirectory)) {
    ShowSetupError(kDirectoryFailed);
    return false;
  }
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kFolderSecurity, SDDL_REVISION_1,
                                                            &security.lpSecurityDescriptor, nullptr)) {
    ShowSetupError(kDirectoryFailed);
    return false;
  }
  // A folder setup makes has its own access list; one that was there may
  // let others in.
  const bool existed = GetFileAttributesA(params.targetDirectory) != INVALID_FILE_ATTRIBUTES;
  bool made = true;
  for (const std::string& directory : DirectoriesToCreate(params.targetDirectory))
    if (!(made = CreateOne(directory, security))) break;
  LocalFree(security.lpSecurityDescriptor);
  if (!made) {
    ShowSetupError(kDirectoryFailed);
    return false;
  }
  // An existing folder that leads elsewhere would take the copies there.
  if (ThroughReparsePoint(params.targetDirectory, "")) {
    ShowSetupError(kDirectoryIsLink);
    return false;
  }
  std::vector<AccessEntry> entries;
  if (existed && (!ReadAccessList(params.targetDirectory, entries) || OthersMayChange(entries))) {
    ShowSetupError(kDirectoryOpen);
    return false;
  }
  return true;
}

bool CopyPackageFiles(const SetupParameters& params) {
  const std::string windows = SystemDirectory(WindowsDirectory);
  const std::string current = SystemDirectory(CurrentDirectory);
  const std::string target(WithoutTrailingBackslash(params.targetDirectory));
  PlaceUninstaller(current, windows);

  for (const CopyPair& pair : params.copyPairs) {
    char source[kTextSize], destination[kTextSize];
    // Without the current directory the source would be taken from the drive
    // root; that, like a path that does not fit its buffer, is a failed copy.
    if (current.empty() || !FormatWhole(source, "%s\\%s", current.c_str(), pair.source.c_str()) ||
        !FormatWhole(destination, "%s\\%s", target.c_str(), pair.target.c_str()) ||
        ThroughReparsePoint(target, pair.target) || !CopyOver(source, destination)) {
      ShowSetupError(kCopyFailed);
      return false;
    }
  }
  if (params.copyPairs.empty()) {
    ShowSetupError(kNothingToCopy);
    return false;
  }
  return true;
}

bool WriteRegistryEntries(const SetupParameters& params) {
  const char* name = params.programName;
  HKEY key = CreateKey(kProgramsKey, name);
  if (key == nullptr) {
    ShowSetupError(kRegistryFailed);
    return false;
  }
  SetText(key, kInstallPathValue, params.targetDirectory);
  SYSTEMTIME now;
  GetLocalTime(&now);
  SetText(key, "InstallDate", FormatInstallDate(now.wDay, now.wMonth, now.wYear, now.wHour,
                                                now.wMinute, now.wSecond).c_str());
  RegCloseKey(key);

  key = CreateKey(kProgramsKey, name, kListKey);
  if (key == nullptr) {
    ShowSetupError(kRegistryFailed);
    return false;
  }
  for (const ListedFile& file : params.listedFiles) {
    char value[16];
    std::snprintf(value, sizeof value, kListedFileValue, file.number);
    SetText(key, value, file.name.c_str());
  }
  RegCloseKey(key);

  key = CreateKey(kUninstallListKey, name);
  if (key == nullptr) {
    ShowSetupError(kRegistryFailed);
    return false;
  }
  char command[kTextSize];
  FormatShown(command, "qxuninst.exe %s", name);
  SetText(key, "DisplayName", name);
  SetText(key, "UninstallString", command);
  RegCloseKey(key);
  return true;
}

bool RunInstallation(const SetupParameters& params, StatusOperation status) {
  struct Step {
    const char* text;
    bool (*run)(const SetupParameters&);
  };
  static const Step steps[] = {
      {"Verzeichnis anlegen...", CreateTargetDirectory},
      {"Dateien kopieren...", CopyPackageFiles},
      {"Eintr\xE4ge in Registrierung setzen...", WriteRegistryEntries},
  };
  for (const Step& step : steps) {
    status(step.text);
    Sleep(2000);
    if (!step.run(params)) return false;
  }
  status("Installation erfolgreich abgeschlossen...");
  return true;
}

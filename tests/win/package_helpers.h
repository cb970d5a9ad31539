// Helpers of the installer and uninstaller tests: the package folder, the
// registry and files of the test prefix, commands, boxes and status lines.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/driver/uidriver.h"

constexpr int kWait = 20000;
const char kMissing[] = "<missing>";  // RegText of a value that is not there
const char kAppsKey[] = "Software\\QXApps";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string PackageFile(const std::string& name);  // a file of the package folder
std::string WindowsDirectory();
std::string RegText(HKEY root, const std::string& key, const char* value);
bool KeyExists(HKEY root, const std::string& key);
void SetRegText(HKEY root, const std::string& key, const char* value, const std::string& text);
// Removes the keys of an installation of that name under both roots.
void ForgetInstallation(const std::string& name);
// Puts the package's uninstaller into the Windows directory, or removes it.
void PlaceUninstaller(bool present);

// A started program that is killed at the end of the test if still running.
struct Running {
  Process process;
  ~Running();
};
// CreateProcess with exactly this command line, as the platform's list does.
Process StartCommand(const std::string& commandLine, const std::string& dir);
void ExpectExitZero(Running& run);
// Expects the box, answers it with OK.
void ExpectBox(DWORD pid, const char* title, const std::string& text, HWND owner);
// The non-empty texts the control shows, in order, until done() holds.
std::vector<std::string> FollowTexts(HWND control, const std::function<bool()>& done);
void SavePicture(HWND window, const std::string& name);

const char kUninstallBoxTitle[] = "QX Uninstall v1.0 - Fehler";
const char kRead[] = "Eintr\xE4ge aus Registry lesen...";
const std::vector<std::string> kStagesAfterFiles = {
    "Verzeichnis l\xF6schen...", "Eintr\xE4ge aus Registry l\xF6schen...", "Deinstallation beendet..."};
std::string Key(const char* parent, const std::string& name);
// Starts "qxuninst.exe NAME", checks the dialog and presses a button (102
// removes, 103 cancels); returns the status texts seen until it closed.
// abandoned: expects the box of a missing installation directory.
std::vector<std::string> Uninstall(const std::string& name, int button, bool abandoned = false);

// What setup writes of an installation and qxuninst reads and deletes again:
// the registry keys, the values that list the files to delete, and the limits
// both programs hold to. Keys are formed as "%s\%s" from a parent and a name.
#pragma once

#include <cstddef>

// Parent of the installation key, which is named by the program name; under
// HKEY_LOCAL_MACHINE for the installation, under HKEY_CURRENT_USER for the
// program's own settings.
constexpr char kProgramsKey[] = "Software\\QXApps";
// Parent of the platform's uninstall entry, also named by the program name.
constexpr char kUninstallListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Subkey of the installation key: the files to delete, relative to the
// installation folder, as values kListedFileValue numbered 1 to kMaxEntries.
constexpr char kListKey[] = "DelFiles";
constexpr char kListedFileValue[] = "File%d";
constexpr char kInstallPathValue[] = "InstallPath";

// The numbered entries of setup.ini and of the list run from 1 to this.
constexpr int kMaxEntries = 20;

// The uninstaller's heading "Deinstallation von Programm : %s" lives in 128
// characters: a longer name could neither be shown nor removed.
constexpr std::size_t kMaxProgramName = 97;

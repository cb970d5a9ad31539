// Files that are read-only (copied from a CD, or the uninstaller as setup
// marks it) are made writable before they are replaced or deleted: Windows
// refuses both on a read-only file, whoever asks.
#pragma once
#include <windows.h>

// Clears the read-only attribute of a file (a folder keeps its attributes).
// Returns the attributes it had, INVALID_FILE_ATTRIBUTES when there is none.
DWORD ClearReadOnly(const char* path);

// Puts the attributes back that ClearReadOnly returned, where it changed them.
void RestoreReadOnly(const char* path, DWORD attributes);

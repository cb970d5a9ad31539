// Loading a DLL by its full path in the system folder.
#include "common/system_library.h"

#include "common/bounded_text.h"

HMODULE SystemLibrary(const char* name) {
  char folder[MAX_PATH], path[MAX_PATH];
  const UINT n = GetSystemDirectoryA(folder, sizeof folder);
  if (n == 0 || n >= sizeof folder || !FormatWhole(path, "%s\\%s", folder, name)) return nullptr;
  // Once loaded, a later load by the bare name (comdlg32 asks for comctl32)
  // finds this module and searches no folder.
  return LoadLibraryA(path);
}

// DLLs that Windows does not always take from its own folder (comctl32 is no
// KnownDLL), loaded by their full path in the system folder: a DLL of that
// name beside the program, in a download folder or on a shared stick, is
// never loaded, not even into the elevated installer.
#pragma once
#include <windows.h>

// The DLL from the system folder, kept loaded to the program's end; nullptr
// when there is none.
HMODULE SystemLibrary(const char* name);

// A function of comctl32 from the system folder, as Function (the type of the
// declaration in commctrl.h); nullptr when it cannot be had.
template <typename Function>
Function CommonControlsFunction(const char* name) {
  HMODULE library = SystemLibrary("comctl32.dll");
  return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                 : nullptr;
}

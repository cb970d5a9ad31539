// What the imports and exports do to the controls of their page: the progress
// bar and the status line.
#pragma once
#include <windows.h>

// The bar's range 0 .. maximum; the maximum goes as its low 16 bits.
void SetProgressRange(HWND page, long maximum);
void SetProgressPosition(HWND page, long position);
void SetStatusText(HWND page, const char* text);

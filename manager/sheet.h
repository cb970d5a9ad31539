// The ten-page property sheet of the address manager.
#pragma once
#include <windows.h>

// Shows the sheet modally; returns when the user has closed it.
void ShowSheet();

int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);

// CenterWindow: moves a window so that it stands centred over a reference window.
#pragma once
#include <windows.h>

void CenterWindow(HWND reference, HWND window);

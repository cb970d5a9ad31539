// Pictures of windows for the README.
#pragma once
#include <windows.h>

#include <string>

// Brings window to the front, waits until its picture is stable and writes
// the window's screen rectangle as a 24-bit BMP. False on any failure.
bool SaveWindowPicture(HWND window, const std::string& bmpPath);

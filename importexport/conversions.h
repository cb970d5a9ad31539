// The four conversions between the catalogue and outside formats, started by
// the Import and Export pages. Each reports its own failures.
#pragma once
#include <windows.h>

// Shortcut files in the favourites folder: the number matching "*.url", -1
// without a favourites folder.
int CountFavoriteFiles();
bool ImportFavorites(HWND page, int policy);
bool ExportFavorites(HWND page, int policy);

bool ImportBookmarks(HWND page, int policy);
bool ImportHotlist(HWND page, int policy);

bool ExportHtml(HWND page);

// State of the running address manager that every page uses: the instance,
// the icon and the favourites folder read once at start.
#pragma once
#include <windows.h>

extern HINSTANCE Instance;
extern HICON ProgramIcon;

// The user's favourites folder, empty when unknown.
extern char FavoritesFolder[MAX_PATH];
// Set once at start: whether FavoritesFolder is known.
extern bool FavoritesAvailable;

// Reads the "Favorites" value of the Shell Folders key into FavoritesFolder;
// a folder the ANSI code page cannot name exactly leaves it empty.
bool ReadFavoritesFolder();

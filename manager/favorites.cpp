// The favourites folder, read from the user's Shell Folders key at start.
#include "manager/app.h"

char FavoritesFolder[MAX_PATH] = "";
bool FavoritesAvailable = false;

bool ReadFavoritesFolder() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  FavoritesFolder[0] = '\0';
  DWORD type = 0;
  DWORD size = sizeof FavoritesFolder;
  LONG result = RegQueryValueExA(key, "Favorites", nullptr, &type,
                                 reinterpret_cast<BYTE*>(FavoritesFolder), &size);
  RegCloseKey(key);
  // A value that is too long, or not a text, leaves no usable path; the
  // buffer may hold a part of it.
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
    FavoritesFolder[0] = '\0';
  FavoritesFolder[MAX_PATH - 1] = '\0';
  return FavoritesFolder[0] != '\0';
}

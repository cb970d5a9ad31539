// The favourites folder, read from the user's Shell Folders key at start.
#include <string>

#include "manager/app.h"

char FavoritesFolder[MAX_PATH] = "";
bool FavoritesAvailable = false;

namespace {

// The value as the registry holds it, with the variables of an expandable
// one expanded; empty when it is missing, not a text or longer than a path.
std::wstring FavoritesValue() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return L"";
  wchar_t value[MAX_PATH + 1] = L"";
  DWORD type = 0;
  DWORD size = MAX_PATH * sizeof(wchar_t);  // a terminator the value lacks still fits
  const LONG result = RegQueryValueExW(key, L"Favorites", nullptr, &type,
                                       reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return L"";
  value[size / sizeof(wchar_t)] = L'\0';
  if (type == REG_SZ) return value;
  wchar_t expanded[MAX_PATH];
  const DWORD n = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
  return n == 0 || n > MAX_PATH ? L"" : expanded;
}

// Every path of the program is formed in the ANSI code page. A folder that
// does not come back from it unchanged (a character the code page lacks, made
// a look-alike or a question mark) would name another folder or none: such a
// folder counts as no favourites folder at all.
bool ToAnsiExactly(const std::wstring& folder, char (&ansi)[MAX_PATH]) {
  wchar_t back[MAX_PATH];
  return !folder.empty() &&
         WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr) > 0 &&
         MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, MAX_PATH) > 0 && folder == back;
}

}  // namespace

bool ReadFavoritesFolder() {
  if (!ToAnsiExactly(FavoritesValue(), FavoritesFolder)) FavoritesFolder[0] = '\0';
  return FavoritesFolder[0] != '\0';
}

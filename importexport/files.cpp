// Remembered paths, file dialogs and whole-file reading.
#include "importexport/files.h"

#include <commdlg.h>

#include <cstring>

#include "manager/messages.h"

namespace {
const char kKey[] = "Software\\QXApps\\QX Internet";
}

void ReadRememberedPath(const char* value, char (&path)[MAX_PATH]) {
  std::memset(path, 0, sizeof path);
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD type = 0, size = sizeof path;
  LONG result =
      RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(key);
  // A value of another type or one too long is no path to offer.
  if (result != ERROR_SUCCESS || type != REG_SZ) path[0] = '\0';
  path[MAX_PATH - 1] = '\0';
}

void RememberPath(const char* value, const char* path) {
  HKEY key;
  char keyClass[] = "qxapps";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, keyClass, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                 static_cast<DWORD>(std::strlen(path) + 1));
  RegCloseKey(key);
}

bool ChooseFile(bool save, const char* filter, const char* dialogTitle, DWORD flags,
                char (&path)[MAX_PATH], char (&fileTitle)[MAX_PATH]) {
  fileTitle[0] = '\0';
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = SheetWindow;
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrFileTitle = fileTitle;
  ofn.nMaxFileTitle = MAX_PATH;
  ofn.lpstrTitle = dialogTitle;
  ofn.Flags = flags;
  return (save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn)) != FALSE;
}

WholeFile::~WholeFile() {
  if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
}

WholeFile::Result WholeFile::Load(const char* path, DWORD minimumSize) {
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return CannotOpen;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  if (size < minimumSize && high == 0) {
    CloseHandle(file);
    return TooShort;
  }
  // A file beyond what one buffer can hold is treated as one there is no memory for.
  if (size == 0 || size == INVALID_FILE_SIZE || high != 0) {
    CloseHandle(file);
    return NoMemory;
  }
  data_ = static_cast<char*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  if (data_ == nullptr) {
    CloseHandle(file);
    return NoMemory;
  }
  DWORD read = 0;
  const BOOL ok = ReadFile(file, data_, size, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != size) return ShortRead;
  size_ = size;
  return Read;
}

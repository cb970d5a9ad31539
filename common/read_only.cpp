// Clearing and restoring the read-only attribute of a file.
#include "common/read_only.h"

namespace {

bool ReadOnlyFile(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

DWORD ClearReadOnly(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (ReadOnlyFile(attributes)) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  return attributes;
}

void RestoreReadOnly(const char* path, DWORD attributes) {
  if (ReadOnlyFile(attributes)) SetFileAttributesA(path, attributes);
}

// The start-up check of the dialog templates DLG_INFO, DLG_LINK and DLG_INPUT
// against the sizes and checksums that the build computed.
#include "manager/resource_check.h"

#include "manager/checksum.h"

namespace {

// True when the dialog resource `expected.name` of the module has the expected
// size and checksum.
bool DialogUnaltered(HINSTANCE instance, const ExpectedDialog& expected) {
  if (expected.name == nullptr) return false;
  HRSRC found = FindResourceA(instance, expected.name, RT_DIALOG);
  if (found == nullptr) return false;
  DWORD size = SizeofResource(instance, found);
  if (size != expected.size) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) return false;
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return false;
  return Checksum32(bytes, size) == expected.checksum;
}

}  // namespace

bool ResourcesUnaltered(HINSTANCE instance) {
  for (const ExpectedDialog& expected : kExpectedDialogs) {
    if (!DialogUnaltered(instance, expected)) return false;
  }
  return true;
}

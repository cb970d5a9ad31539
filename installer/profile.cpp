// Reading setup.ini through the platform's profile reader.
#include "installer/profile.h"

#include <windows.h>

#include "installer/setup_rules.h"

const char kParameterFile[] = ".\\setup.ini";

std::string ReadProfile(const char* section, const char* key) {
  char value[kTextSize];
  GetPrivateProfileStringA(section, key, "", value, sizeof value, kParameterFile);
  return value;
}

// setup.ini: finding it, checking it, and the installer's error box.
#include "installer/setup_app.h"

#include "common/bounded_text.h"
#include "common/installation_keys.h"
#include "installer/profile.h"

SetupParameters Parameters{};
HWND WizardFrame = nullptr;

namespace {

// The platform's uninstall entry of that name, in the 64-bit view that both
// builds write; a key that does not open counts as none.
UninstallEntry FindUninstallEntry(const char* name) {
  char keyName[kTextSize], text[kTextSize] = "";
  HKEY key;
  if (!FormatWhole(keyName, "%s\\%s", kUninstallListKey, name) ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return {false, ""};
  }
  DWORD type = 0, size = sizeof text - 1;  // room for a zero the value may lack
  if (RegQueryValueExA(key, "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS || type != REG_SZ) {
    size = 0;
  }
  text[size] = '\0';
  RegCloseKey(key);
  return {true, text};
}

}  // namespace

void ShowSetupError(const char* text) {
  MessageBoxA(WizardFrame, text, "QX Setup v1.0 - Fehler", MB_TASKMODAL | MB_ICONEXCLAMATION);
}

bool LoadSetupParameters() {
  HANDLE file = CreateFileA(kParameterFile, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowSetupError(kNoParameterFile);
    return false;
  }
  CloseHandle(file);
  const char* fault = CheckParameters(ReadProfile, Parameters);
  if (fault == nullptr) fault = CheckUninstallEntry(Parameters.programName, FindUninstallEntry(Parameters.programName));
  if (fault != nullptr) {
    ShowSetupError(fault);
    return false;
  }
  return true;
}

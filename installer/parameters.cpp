// setup.ini: finding it, checking it, and the installer's error box.
#include "installer/setup_app.h"

#include "installer/profile.h"

SetupParameters Parameters{};
HWND WizardFrame = nullptr;

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
  if (fault != nullptr) {
    ShowSetupError(fault);
    return false;
  }
  return true;
}

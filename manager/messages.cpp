// ErrorBox and QuestionBox of the address manager.
#include "manager/messages.h"

HWND SheetWindow = nullptr;

namespace {
const char kTitle[] = "QX Internet 2.0";
}

void ErrorBox(const char* text) {
  MessageBoxA(SheetWindow, text, kTitle, MB_TASKMODAL | MB_ICONEXCLAMATION);
}

bool QuestionBox(const char* text) {
  return MessageBoxA(SheetWindow, text, kTitle, MB_TASKMODAL | MB_ICONQUESTION | MB_YESNO) ==
         IDYES;
}

void EndProgram() {
  if (SheetWindow != nullptr) PostMessageA(SheetWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Recording ErrorBox for tests that link the store alone.
#include "tests/win/test_folder.h"

#include "manager/messages.h"

HWND SheetWindow = nullptr;

std::vector<std::string>& RecordedMessages() { static std::vector<std::string> messages; return messages; }

void ErrorBox(const char* text) { RecordedMessages().push_back(text); }

void EndProgram() { RecordedMessages().push_back("(ends)"); }

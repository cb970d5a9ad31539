// Recording ErrorBox and QuestionBox for tests that link the store alone.
#include "tests/win/recording_messages.h"

#include "manager/messages.h"

HWND SheetWindow = nullptr;

namespace {
bool questionAnswer = false;
}

std::vector<std::string>& RecordedMessages() {
  static std::vector<std::string> messages;
  return messages;
}

void SetQuestionAnswer(bool yes) { questionAnswer = yes; }

void ErrorBox(const char* text) { RecordedMessages().push_back(text); }

bool QuestionBox(const char* text) {
  RecordedMessages().push_back(text);
  return questionAnswer;
}

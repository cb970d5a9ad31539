// A stand-in for the address manager's message boxes in store tests: the texts
// are recorded instead of shown, and questions get a prepared answer.
#pragma once
#include <string>
#include <vector>

std::vector<std::string>& RecordedMessages();
void SetQuestionAnswer(bool yes);

// A stand-in for the address manager's message boxes in store tests: the texts
// are recorded instead of shown.
#pragma once
#include <string>
#include <vector>

std::vector<std::string>& RecordedMessages();

// Reading one value of setup.ini from the current directory.
#pragma once
#include <string>

extern const char kParameterFile[];

// The value, cut to 259 characters; empty when the section or key is missing.
std::string ReadProfile(const char* section, const char* key);

// The uninstaller's parameter: the program name taken from its command line.
#pragma once

#include <string_view>

// The rest of the command line after the program's own path (quoted: up to
// its closing mark or a tab; bare: up to the first blank or tab) and the
// blanks and tabs after it, taken as it stands.
std::string_view ProgramNameFromCommandLine(std::string_view commandLine);

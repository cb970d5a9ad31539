// Taking the program name from the uninstaller's command line.
#include "uninstaller/command_line.h"

std::string_view ProgramNameFromCommandLine(std::string_view line) {
  std::size_t i = 0;
  if (!line.empty() && line[0] == '"') {
    i = 1;
    while (i < line.size() && line[i] != '"' && line[i] != '\t') ++i;
    if (i < line.size() && line[i] == '"') ++i;
  } else {
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return line.substr(i);
}

// The uninstaller's program name from its command line.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "uninstaller/command_line.h"

TEST(ProgramNameFromCommandLine, TheWholeRestAfterThePath) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"qxuninst.exe QX Internet", "QX Internet"},
      {"\"C:\\windows\\qxuninst.exe\" QX Internet ", "QX Internet "},
      {"\"C:\\Program Files\\qxuninst.exe\"QX", "QX"},
      {"qxuninst.exe \t \"A\"  B\t", "\"A\"  B\t"},
      {"\"C:\\x y\tName", "Name"},  // a quoted path also ends at a tab
      {"qxuninst.exe\tName", "Name"},
      {"qxuninst.exe", ""},
      {"qxuninst.exe  \t ", ""},
      {"\"unclosed path", ""},
      {"", ""},
  };
  for (const auto& [line, name] : cases) EXPECT_EQ(ProgramNameFromCommandLine(line), name) << line;
}

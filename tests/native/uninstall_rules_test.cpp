// The uninstaller's rules: the program name from the command line, and the
// installation directory for joining and for removing.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "uninstaller/command_line.h"
#include "uninstaller/install_directory.h"

TEST(UninstallRules, ProgramNameIsTheWholeRestAfterThePath) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"qxuninst.exe QX Internet", "QX Internet"},
      {"\"C:\\windows\\qxuninst.exe\" QX Internet ", "QX Internet "},
      {"\"C:\\Program Files\\qxuninst.exe\"QX", "QX"},
      {"qxuninst.exe \t \"A\"  B\t", "\"A\"  B\t"}, {"\"C:\\x y\tName", "Name"},  // tab ends a quoted path
      {"qxuninst.exe\tName", "Name"}, {"qxuninst.exe  \t ", ""}, {"\"unclosed path", ""}, {"", ""},
  };
  for (const auto& [line, name] : cases) EXPECT_EQ(ProgramNameFromCommandLine(line), name) << line;
}

TEST(UninstallRules, InstallDirectory) {
  const std::string long258(258, 'd');
  const std::vector<std::pair<std::string, std::string>> cases = {  // InstallPath, joined ("-": refused)
      {"C:\\QX", "C:\\QX\\"}, {"C:\\QX\\", "C:\\QX\\"}, {"C:\\", "C:\\"}, {"", "-"},
      {long258, long258 + "\\"}, {long258 + "d", "-"}, {long258 + "\\", long258 + "\\"},
  };
  for (const auto& [path, expected] : cases) {
    std::string joined;
    EXPECT_EQ(DirectoryForJoining(path, joined) ? joined : "-", expected) << path;
  }
  EXPECT_EQ(DirectoryToRemove("C:\\QX\\"), "C:\\QX");
  EXPECT_EQ(DirectoryToRemove("C:\\"), "C:\\");
}

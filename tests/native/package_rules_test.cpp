// The rules of the installer (checks of setup.ini, numbered entries, cutting
// the target directory, the date) and of the uninstaller (its command line,
// the installation directory).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "installer/setup_rules.h"
#include "uninstaller/command_line.h"
#include "uninstaller/install_directory.h"

using Ini = std::map<std::string, std::string>;  // "Section/Key" -> value

static ProfileReader Reader(const Ini& ini) {
  return [&ini](const char* section, const char* key) {
    auto it = ini.find(std::string(section) + "/" + key);
    return it == ini.end() ? std::string() : it->second;
  };
}

TEST(SetupRules, ParameterChecksInOrder) {
  const Ini name = {{"ProgrammName/Name", "P"}}, dir = {{"InstDir/Dir", "D"}};
  const std::vector<std::pair<Ini, const char*>> cases = {
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile2", "b"}}, nullptr},  // numbers need not match
      {{{"CopyFiles/COFile20", "a"}, {"CopyFiles/CNFile20", "a"}}, nullptr},
      {{{"CopyFiles/COFile21", "a"}, {"CopyFiles/CNFile1", "a"}}, kNoSourceFiles},
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile21", "a"}}, kNoTargetFiles},
      {{}, kNoSourceFiles},  // neither: the sources are checked first
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "b\\. .\\..\\a"}}, kTargetFileOutside},
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "C:a"}}, kTargetFileOutside},
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "/a"}, {"CopyFiles/CNFile2", "..\\x"}}, kTargetFileOutside},
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "a..\\x"}, {"DelFiles/DFile2", "\\\\h\\a"}}, kListedFileOutside},
      {{{"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "a"}, {"DelFiles/DFile20", "x/../../a"}}, kListedFileOutside},
  };
  for (auto [ini, message] : cases) {
    SetupParameters params{};
    EXPECT_STREQ(CheckParameters(Reader(ini), params), kNoProgramName);
    ini.insert(name.begin(), name.end());
    EXPECT_STREQ(CheckParameters(Reader(ini), params), kNoTargetDirectory);
    ini.insert(dir.begin(), dir.end());
    EXPECT_STREQ(CheckParameters(Reader(ini), params), message);
    EXPECT_EQ(std::string(params.programName) + params.targetDirectory, "PD");
  }
  // The uninstaller's limit on the name; checked after the files are found.
  for (std::size_t length : {97, 98, 300}) {
    Ini ini = {{"ProgrammName/Name", std::string(length, 'n')}, {"InstDir/Dir", "D"}, {"CopyFiles/COFile1", "a"}, {"CopyFiles/CNFile1", "a"}};
    SetupParameters params{};
    EXPECT_STREQ(CheckParameters(Reader(ini), params), length > 97 ? kProgramNameTooLong : nullptr) << length;
  }
}

TEST(SetupRules, NumberedEntriesOneToTwenty) {
  const Ini ini = {{"CopyFiles/COFile1", "a"},   {"CopyFiles/CNFile1", "a1"},   {"CopyFiles/COFile3", "b"},
                   {"CopyFiles/CNFile4", "b4"},  {"CopyFiles/COFile7", "c"},    {"CopyFiles/CNFile7", "c7"},
                   {"CopyFiles/COFile20", "d"},  {"CopyFiles/CNFile20", "d20"}, {"CopyFiles/COFile21", "e"},
                   {"CopyFiles/CNFile21", "e21"}, {"DelFiles/DFile2", "x"}, {"DelFiles/DFile20", "y"}, {"DelFiles/DFile21", "z"}};
  std::string pairs, listed;
  for (const CopyPair& p : CopyPairs(Reader(ini))) pairs += p.source + ">" + p.target + " ";
  for (const ListedFile& f : ListedFiles(Reader(ini))) listed += std::to_string(f.number) + f.name + " ";
  EXPECT_EQ(pairs, "a>a1 c>c7 d>d20 ");
  EXPECT_EQ(listed, "2x 20y ");
}

TEST(SetupRules, DirectoriesCutAtEveryBackslashButTheLast) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B\\"}}, {"C:\\", {"C:\\"}}, {"\\A\\B", {"\\A", "\\A\\B"}},
      {"sub\\dir", {"sub", "sub\\dir"}}, {"\\\\server\\share", {"\\", "\\\\server", "\\\\server\\share"}},
      {"C:/a/b", {"C:/a/b"}}, {"", {""}},
  };
  for (const auto& [target, expected] : cases) EXPECT_EQ(DirectoriesToCreate(target), expected) << target;
  EXPECT_EQ(FormatInstallDate(7, 5, 1996, 9, 5, 3), "7.5.1996, 09:05:03");
}

TEST(UninstallRules, ProgramNameIsTheWholeRestAfterThePath) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"qxuninst.exe QX Internet", "QX Internet"}, {"\"C:\\windows\\qxuninst.exe\" QX Internet ", "QX Internet "},
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

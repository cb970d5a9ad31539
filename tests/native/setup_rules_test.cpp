// The installer's rules: the checks of setup.ini, the cutting of the target
// directory and the installation date.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "installer/setup_rules.h"

namespace {

using Ini = std::map<std::string, std::string>;  // "Section/Key" -> value

struct CheckCase {
  Ini ini;
  const char* message;  // nullptr: accepted
};

const Ini kGood = {{"ProgrammName/Name", "QX Internet"},
                   {"InstDir/Dir", "C:\\Programme\\QX Internet"},
                   {"CopyFiles/COFile1", "qxinet.exe"},
                   {"CopyFiles/CNFile1", "qxinet.exe"}};

Ini Without(Ini ini, const std::string& key, const std::string& value = "") {
  ini[key] = value;
  return ini;
}

TEST(CheckParameters, FirstFailingCheckNamesTheMessage) {
  const Ini crossed = Without(Without(kGood, "CopyFiles/CNFile1"), "CopyFiles/CNFile2", "x");
  const Ini only21 = {{"ProgrammName/Name", "P"}, {"InstDir/Dir", "D"},
                      {"CopyFiles/COFile21", "a"}, {"CopyFiles/CNFile21", "a"}};
  const std::vector<CheckCase> cases = {
      {kGood, nullptr},
      {crossed, nullptr},  // one source and one target, of different numbers
      {Without(kGood, "CopyFiles/COFile20", "z"), nullptr},
      {Ini{}, kNoProgramName},
      {Without(kGood, "ProgrammName/Name"), kNoProgramName},
      {Without(Without(kGood, "InstDir/Dir"), "CopyFiles/COFile1"), kNoTargetDirectory},
      {Without(kGood, "CopyFiles/COFile1"), kNoSourceFiles},
      {only21, kNoSourceFiles},
      {Without(kGood, "CopyFiles/CNFile1"), kNoTargetFiles},
  };
  for (const CheckCase& c : cases) {
    SetupParameters params{};
    const char* got = CheckParameters(
        [&](const char* section, const char* key) {
          auto it = c.ini.find(std::string(section) + "/" + key);
          return it == c.ini.end() ? std::string() : it->second;
        },
        params);
    EXPECT_EQ(got == nullptr ? "" : got, c.message == nullptr ? "" : c.message);
    if (got == nullptr) {
      EXPECT_EQ(params.programName, c.ini.at("ProgrammName/Name"));
      EXPECT_EQ(params.targetDirectory, c.ini.at("InstDir/Dir"));
    }
  }
}

TEST(CheckParameters, OverlongValuesAreCutTo259) {
  SetupParameters params{};
  const std::string longText(400, 'n');
  CheckParameters([&](const char*, const char*) { return longText; }, params);
  EXPECT_EQ(std::string(params.programName), longText.substr(0, 259));
  EXPECT_EQ(std::string(params.targetDirectory), longText.substr(0, 259));
}

TEST(DirectoriesToCreate, CutsAtEveryBackslashButTheLast) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"C:\\Programme\\QX Internet", {"C:\\Programme", "C:\\Programme\\QX Internet"}},
      {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B\\"}},
      {"C:\\", {"C:\\"}},
      {"C:", {"C:"}},
      {"\\A\\B", {"\\A", "\\A\\B"}},
      {"sub\\dir", {"sub", "sub\\dir"}},
      {"\\\\server\\share", {"\\", "\\\\server", "\\\\server\\share"}},
      {"C:/a/b", {"C:/a/b"}},
      {"", {""}},
  };
  for (const auto& [target, expected] : cases) EXPECT_EQ(DirectoriesToCreate(target), expected) << target;
}

TEST(InstallDate, DateWithoutZerosTimeWithTwoDigits) {
  EXPECT_EQ(FormatInstallDate(7, 5, 1996, 9, 5, 3), "7.5.1996, 09:05:03");
  EXPECT_EQ(FormatInstallDate(31, 12, 2026, 23, 59, 0), "31.12.2026, 23:59:00");
}

TEST(WithoutTrailingBackslash, RemovesOneAtMost) {
  EXPECT_EQ(WithoutTrailingBackslash("C:\\A\\\\"), "C:\\A\\");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\A"), "C:\\A");
  EXPECT_EQ(WithoutTrailingBackslash(""), "");
}

}  // namespace

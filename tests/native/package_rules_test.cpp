// The rules of the installer (checks of setup.ini, numbered entries, cutting
// the target directory) and of the uninstaller (its command line, the
// installation directory). The date of an installation is a plain printf
// format; package_test.cpp checks its shape in the value written.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/contained_name.h"
#include "installer/folder_rights.h"
#include "installer/setup_rules.h"
#include "uninstaller/command_line.h"
#include "uninstaller/install_directory.h"

using Ini = std::map<std::string, std::string>;  // key -> value

// The keys of setup.ini differ from section to section; which section each is
// read from shows in package_test.cpp, where the programs read real files.
static ProfileReader Reader(const Ini& ini) {
  return [&ini](const char*, const char* key) { return ini.count(key) ? ini.at(key) : std::string(); };
}

// The name is checked first, then the directory, then the files; the
// uninstaller's limit on the name after them, then names out of their folder.
// Every case has the name P and the directory D unless it gives its own.
TEST(SetupRules, ParameterChecksInOrder) {
  const Ini::value_type a = {"COFile1", "a"}, b = {"CNFile1", "a"};
  for (auto [ini, message] : std::vector<std::pair<Ini, const char*>>{
           {{{"Name", ""}, {"Dir", ""}}, kNoProgramName}, {{{"Dir", ""}}, kNoTargetDirectory},
           {{a, {"CNFile2", "b"}}, nullptr}, {{{"COFile20", "a"}, {"CNFile20", "a"}}, nullptr},
           {{{"COFile21", "a"}, b}, kNoSourceFiles}, {{}, kNoSourceFiles},  // the sources first
           {{a, {"CNFile21", "a"}}, kNoTargetFiles}, {{a, {"CNFile1", "b\\. .\\..\\a"}}, kTargetFileOutside},
           {{a, {"CNFile1", "C:a"}}, kTargetFileOutside}, {{a, b, {"DFile20", "x/../../a"}}, kListedFileOutside},
           {{a, {"CNFile1", "/a"}, {"CNFile2", "..\\x"}}, kTargetFileOutside},
           {{a, {"CNFile1", "a..\\x"}, {"DFile2", "\\\\h\\a"}}, kListedFileOutside},
           {{{"COFile1", "..\\a"}, {"CNFile1", "/a"}}, kSourceFileOutside}, {{{"COFile2", "D:a"}, b}, nullptr},
           {{a, b, {"COFile2", "\\a"}, {"CNFile2", "a"}}, kSourceFileOutside},
           {{a, b, {"Name", std::string(97, 'n')}}, nullptr},
           {{a, b, {"Name", std::string(98, 'n')}}, kProgramNameTooLong}}) {
    ini.insert({{"Name", "P"}, {"Dir", "D"}});
    SetupParameters params{};
    EXPECT_STREQ(CheckParameters(Reader(ini), params), message) << ::testing::PrintToString(ini);
  }
}

// Entries numbered 1 to 20, each pair complete, and texts cut to their
// fields; and the directories made.
TEST(SetupRules, NumberedEntriesAndDirectories) {
  const Ini ini = {{"Name", "P"}, {"Dir", std::string(300, 'D')}, {"COFile1", "a"}, {"CNFile1", "a1"}, {"COFile3", "b"},
                   {"CNFile4", "b4"}, {"COFile7", "c"}, {"CNFile7", "c7"}, {"COFile20", "d"}, {"CNFile20", "d20"},
                   {"COFile21", "e"}, {"CNFile21", "e21"}, {"DFile2", "x"}, {"DFile20", "y"}, {"DFile21", "z"}};
  SetupParameters params{};
  ASSERT_EQ(CheckParameters(Reader(ini), params), nullptr);
  std::vector<std::string> read = {"Name=" + std::string(params.programName), "Dir=" + std::string(params.targetDirectory)};
  for (const CopyPair& p : params.copyPairs) read.push_back("copy " + p.source + " to " + p.target);
  for (const ListedFile& f : params.listedFiles) read.push_back("DFile" + std::to_string(f.number) + "=" + f.name);
  EXPECT_EQ(read, (std::vector<std::string>{"Name=P", "Dir=" + std::string(259, 'D'), "copy a to a1", "copy c to c7",
                                            "copy d to d20", "DFile2=x", "DFile20=y"}));
  // Cut at every backslash but the last.
  for (const auto& [target, expected] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B\\"}}, {"C:\\", {"C:\\"}}, {"\\A\\B", {"\\A", "\\A\\B"}},
           {"", {""}}, {"s\\d", {"s", "s\\d"}}, {"\\\\h\\s", {"\\", "\\\\h", "\\\\h\\s"}}, {"a/b", {"a/b"}}})
    EXPECT_EQ(DirectoriesToCreate(target), expected) << target;
}

// The program name is the whole rest after the path (a tab ends a quoted
// path too, blanks before the name do not count); the directory of the
// installation, joined to file names ("-": refused) and removed.
TEST(UninstallRules, ProgramNameAndInstallDirectory) {
  for (const auto& [line, name] : std::vector<std::pair<std::string, std::string>>{
           {"qxuninst.exe QX Internet", "QX Internet"}, {"\"C:\\w\\q.exe\" QX Internet ", "QX Internet "},
           {"\"C:\\P Q\\q.exe\"QX", "QX"}, {"q.exe \t \"A\"  B\t", "\"A\"  B\t"}, {"q.exe\tName", "Name"},
           {"\"C:\\x y\tName", "Name"}, {"q.exe  \t ", ""}, {"\"unclosed", ""}, {"", ""}})
    EXPECT_EQ(ProgramNameFromCommandLine(line), name) << line;
  const std::string long258(258, 'd');
  std::string joined;
  for (const auto& [path, expected] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\QX", "C:\\QX\\"}, {"C:\\QX\\", "C:\\QX\\"}, {"C:\\", "C:\\"}, {"", "-"},
           {long258, long258 + "\\"}, {long258 + "d", "-"}, {long258 + "\\", long258 + "\\"}})
    EXPECT_EQ(DirectoryForJoining(path, joined) ? joined : "-", expected) << path;
  EXPECT_EQ(DirectoryToRemove("C:\\QX\\"), "C:\\QX");
  EXPECT_EQ(DirectoryToRemove("C:\\"), "C:\\");
}

// A name of setup.ini names a file, not a device or a stream (by the
// favourites' rule, tested with them), the program name one key, its
// uninstall entry is this program's own (none, or another program's, is met
// in package_test.cpp); and a stored installation folder names one wherever
// the uninstaller runs.
TEST(SetupRules, NamesEntriesAndFullPaths) {
  const struct { const char* key; const char* value; const char* message; } rows[] = {
      {.key = "CNFile1", .value = "sub\\LPT1.txt", .message = kTargetFileOutside}, {.key = "CNFile1", .value = "COM10"},
      {.key = "CNFile1", .value = "a::$DATA", .message = kTargetFileOutside},
      {.key = "COFile1", .value = "aux", .message = kSourceFileOutside},
      {.key = "Name", .value = "QX\\I", .message = kProgramNameBackslash}};
  for (const auto& row : rows) {
    Ini ini = {{"Name", "P"}, {"Dir", "D"}, {"COFile1", "a"}, {"CNFile1", "a"}};
    ini[row.key] = row.value;
    SetupParameters params{};
    EXPECT_STREQ(CheckParameters(Reader(ini), params), row.message) << row.key << "=" << row.value;
  }
  EXPECT_STREQ(CheckUninstallEntry("P", {.exists = true, .uninstallString = "qxuninst.exe P"}), nullptr);
  EXPECT_STREQ(CheckUninstallEntry("P", {.exists = true, .uninstallString = "qxuninst.exe P2"}), kForeignUninstallEntry);
  const struct { const char* path; bool full; } paths[] = {
      {.path = "C:\\QX", .full = true},  {.path = "D:x", .full = false},    {.path = "\\QX", .full = false},
      {.path = "\\\\h\\s", .full = true}, {.path = "\\\\h\\", .full = false}, {.path = "\\\\\\s", .full = false}};
  for (const auto& row : paths) EXPECT_EQ(IsFullPath(row.path), row.full) << row.path;
}

// Existing target folders as Windows and Wine make them: only Administrators,
// SYSTEM, TrustedInstaller and CREATOR OWNER may change one that setup uses.
TEST(SetupRules, FoldersOthersMayChange) {
  const std::string users = "S-1-5-32-545", user = "S-1-5-21-0-0-0-1000";
  const AccessEntry system{true, "S-1-5-18", 0x1f01ff}, admins{true, "S-1-5-32-544", 0x1f01ff},
      readRun{true, users, 0x1200a9};
  const struct { const char* folder; std::vector<AccessEntry> entries; bool others; } rows[] = {
      {.folder = "made by setup", .entries = {admins, system, readRun}, .others = false},
      {.folder = "made below Program Files",
       .entries = {{true, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", 0x1f01ff}, system,
                   admins, {true, "S-1-3-0", 0x10000000}, readRun, {true, "S-1-15-2-1", 0x1200a9}},
       .others = false},
      {.folder = "made below C:\\", .entries = {admins, system, readRun, {true, "S-1-5-11", 0x1301bf}}, .others = true},
      {.folder = "everyone denied", .entries = {{false, "S-1-1-0", 0x1f01ff}, admins}, .others = false},
      {.folder = "made under Wine", .entries = {system, {true, user, 0x1f01ff}}, .others = true},
      {.folder = "users may change its list", .entries = {admins, {true, users, 0x1200a9 | 0x40000}}, .others = true},
      {.folder = "an entry of another kind", .entries = {admins, {true, "", 0x40000000}}, .others = true}};
  for (const auto& row : rows) EXPECT_EQ(OthersMayChange(row.entries), row.others) << row.folder;
}

// The rules of the installer that need no platform: the checks of setup.ini,
// where the target directory is cut into directories to create, how paths are
// joined and how the installation date is written.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Every text of setup.ini and of the installation fits 259 characters.
constexpr std::size_t kTextSize = 260;

// A complete pair of section CopyFiles: source and target both non-empty.
struct CopyPair {
  std::string source;
  std::string target;
};

// A non-empty "DFile%d" of section DelFiles with its number.
struct ListedFile {
  int number;
  std::string name;
};

// The parameters that live for the whole run of setup. setup.ini is read
// once, at start-up, and the installation uses what was checked then: the
// file may be changed while the wizard waits.
struct SetupParameters {
  char targetDirectory[kTextSize];
  char programName[kTextSize];
  std::vector<CopyPair> copyPairs;      // the complete pairs, numbered 1 to 20, ascending
  std::vector<ListedFile> listedFiles;  // numbered 1 to 20, ascending
};

// Reads one value of setup.ini (empty when missing), at most 259 characters.
using ProfileReader = std::function<std::string(const char* section, const char* key)>;

// Reads every value once and makes the start-up checks after the file was
// found. Fills params and returns nullptr, or returns the message of the
// first check that fails.
const char* CheckParameters(const ProfileReader& read, SetupParameters& params);

// The platform's uninstall entry named like the program, as found before
// installing: whether the key exists, and its UninstallString ("" if none).
struct UninstallEntry {
  bool exists;
  std::string uninstallString;
};

// nullptr when setup may write the entry: there is none, or it is this
// program's own, whose UninstallString setup wrote as "qxuninst.exe %s" with
// the name. Any other entry belongs to another product and is refused.
const char* CheckUninstallEntry(const char* programName, const UninstallEntry& entry);

// The directories to create for a target, in order: every cut point from the
// third character on (drive form), the second (leading backslash) or the
// first, the last character never cut; the target itself comes last, as typed.
std::vector<std::string> DirectoriesToCreate(std::string_view target);

// The text without one trailing backslash, if it has one.
std::string_view WithoutTrailingBackslash(std::string_view text);

// "%d.%d.%d, %02d:%02d:%02d": day, month, year, hour, minute, second.
std::string FormatInstallDate(int day, int month, int year, int hour, int minute, int second);

extern const char kNoParameterFile[];
extern const char kNoProgramName[];
extern const char kNoTargetDirectory[];
extern const char kNoSourceFiles[];
extern const char kNoTargetFiles[];
extern const char kProgramNameTooLong[];
extern const char kSourceFileOutside[];
extern const char kTargetFileOutside[];
extern const char kListedFileOutside[];
extern const char kProgramNameBackslash[];
extern const char kForeignUninstallEntry[];

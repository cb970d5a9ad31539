// The installer's rules without platform calls.
#include "installer/setup_rules.h"

#include <cstdio>
#include <cstring>

#include "common/contained_name.h"
#include "common/installation_keys.h"

const char kNoParameterFile[] = "Parameterdatei setup.ini nicht gefunden ! \nProgramm abgebrochen !";
const char kNoProgramName[] =
    "Programmbezeichnung in setup.ini nicht gefunden ! \nProgramm abgebrochen !";
const char kNoTargetDirectory[] =
    "Zielverzeichnis in setup.ini nicht gefunden ! \nProgramm abgebrochen !";
const char kNoSourceFiles[] = "Quelldateien in setup.ini nicht gefunden ! \nProgramm abgebrochen !";
const char kNoTargetFiles[] = "Zieldateien in setup.ini nicht gefunden ! \nProgramm abgebrochen !";
const char kProgramNameTooLong[] =
    "Programmbezeichnung in setup.ini zu lang ! \nProgramm abgebrochen !";
const char kSourceFileOutside[] =
    "Quelldatei in setup.ini au\xDF" "erhalb des Quellverzeichnisses ! \nProgramm abgebrochen !";
const char kTargetFileOutside[] =
    "Zieldatei in setup.ini au\xDF" "erhalb des Zielverzeichnisses ! \nProgramm abgebrochen !";
const char kProgramNameBackslash[] =
    "Programmbezeichnung in setup.ini enth\xE4lt einen Backslash ! \nProgramm abgebrochen !";
const char kForeignUninstallEntry[] =
    "Programmbezeichnung in setup.ini geh\xF6rt zu einem anderen Programm ! \nProgramm abgebrochen !";
const char kListedFileOutside[] =
    "Zu l\xF6schende Datei in setup.ini au\xDF" "erhalb des Zielverzeichnisses ! \nProgramm abgebrochen !";

namespace {

// Copies at most 259 characters: a reader may hand back a longer text.
void Keep(char (&field)[kTextSize], const std::string& value) {
  const std::size_t n = value.size() < kTextSize - 1 ? value.size() : kTextSize - 1;
  std::memcpy(field, value.data(), n);
  field[n] = '\0';
}

std::string Numbered(const ProfileReader& read, const char* section, const char* key, int n) {
  return read(section, (key + std::to_string(n)).c_str());
}

}  // namespace

const char* CheckParameters(const ProfileReader& read, SetupParameters& params) {
  Keep(params.programName, read("ProgrammName", "Name"));
  if (params.programName[0] == '\0') return kNoProgramName;
  Keep(params.targetDirectory, read("InstDir", "Dir"));
  if (params.targetDirectory[0] == '\0') return kNoTargetDirectory;
  int sources = 0, targets = 0;
  params.copyPairs.clear();
  for (int n = 1; n <= kMaxEntries; ++n) {
    CopyPair pair{Numbered(read, "CopyFiles", "COFile", n), Numbered(read, "CopyFiles", "CNFile", n)};
    sources += !pair.source.empty();
    targets += !pair.target.empty();
    if (!pair.source.empty() && !pair.target.empty()) params.copyPairs.push_back(pair);
  }
  if (sources == 0) return kNoSourceFiles;
  if (targets == 0) return kNoTargetFiles;
  // The uninstaller takes no longer name, so such an installation could
  // never be removed; and its keys must all fit, or some would stay behind.
  if (std::strlen(params.programName) > kMaxProgramName) return kProgramNameTooLong;
  // A key name of several components: the list of programs would never show it.
  if (std::strchr(params.programName, '\\') != nullptr) return kProgramNameBackslash;
  for (const CopyPair& pair : params.copyPairs)
    if (!NamesFileInFolder(pair.source)) return kSourceFileOutside;
  for (const CopyPair& pair : params.copyPairs)
    if (!NamesFileInFolder(pair.target)) return kTargetFileOutside;
  params.listedFiles.clear();
  for (int n = 1; n <= kMaxEntries; ++n) {
    std::string name = Numbered(read, "DelFiles", "DFile", n);
    if (!name.empty()) params.listedFiles.push_back({n, name});
  }
  for (const ListedFile& file : params.listedFiles)
    if (!NamesFileInFolder(file.name)) return kListedFileOutside;
  return nullptr;
}

std::vector<std::string> DirectoriesToCreate(std::string_view target) {
  std::vector<std::string> result;
  std::size_t start = 0;
  if (target.size() >= 2 && target[1] == ':') {
    start = 3;
  } else if (!target.empty() && target[0] == '\\') {
    start = 1;
  }
  for (std::size_t i = start; i + 1 < target.size(); ++i) {
    if (target[i] == '\\') result.emplace_back(target.substr(0, i));
  }
  result.emplace_back(target);
  return result;
}

std::string_view WithoutTrailingBackslash(std::string_view text) {
  if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  return text;
}

std::string FormatInstallDate(int day, int month, int year, int hour, int minute, int second) {
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d, %02d:%02d:%02d", day, month, year, hour, minute,
                second);
  return text;
}

const char* CheckUninstallEntry(const char* programName, const UninstallEntry& entry) {
  if (!entry.exists) return nullptr;
  return entry.uninstallString == std::string("qxuninst.exe ") + programName ? nullptr : kForeignUninstallEntry;
}

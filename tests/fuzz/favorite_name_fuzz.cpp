// Arbitrary bytes as the name of an exported favourite: every name the rules
// accept gives exactly folder\name.url, and that path, resolved as the
// platform resolves it, stays in the folder and names no device, no stream
// and nothing with a control character in it.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "importexport/favorite_names.h"

namespace {

const std::string kFolder = "C:\\Fav";

void Check(bool ok) {
  if (!ok) std::abort();
}

// CON, COM1, COM with a superscript one ... as the platform knows them.
const std::set<std::string> kDevices = [] {
  std::set<std::string> devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* stem : {"COM", "LPT"})
    for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "\xB9", "\xB2", "\xB3"})
      devices.insert(std::string(stem) + digit);
  return devices;
}();

bool NamesDevice(std::string component) {
  component = component.substr(0, component.find('.'));
  while (!component.empty() && component.back() == ' ') component.pop_back();
  for (char& c : component) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return kDevices.count(component) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(bytes), size);
  char path[PathBufferSize];
  if (!FavoriteExportPath(kFolder, name, path)) {
    Check(path[0] == '\0');
    return 0;
  }
  const std::string joined = path;
  Check(joined == kFolder + "\\" + name + ".url");
  // Resolved component by component below the folder: the platform drops
  // trailing dots and blanks, "." stays, a dots-only name of two or more climbs.
  int depth = 0;
  std::size_t start = kFolder.size() + 1;
  for (std::size_t i = start; i <= joined.size(); ++i) {
    if (i < joined.size() && joined[i] != '\\' && joined[i] != '/') continue;
    std::string component = joined.substr(start, i - start);
    const bool dotsOnly = component.find_first_not_of(". ") == std::string::npos;
    const std::size_t dots = std::count(component.begin(), component.end(), '.');
    if (dotsOnly && dots >= 2) --depth;
    else if (!component.empty() && !dotsOnly) ++depth;
    Check(depth >= 0 && !NamesDevice(component));
    for (char c : component) Check(c != ':' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    start = i + 1;
  }
  Check(depth >= 1);  // the file itself, inside the folder
  return 0;
}

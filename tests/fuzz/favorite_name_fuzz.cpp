// Arbitrary bytes as the name of an exported favourite: an accepted name gives
// exactly folder\name.url, whose components, resolved as the platform does
// (trailing dots and blanks dropped, dots only climb), stay in the folder and
// name no device, stream or control character.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "importexport/cp1252.h"
#include "importexport/favorite_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // Every device, each between backslashes, which no stem holds.
  static const std::string devices = "\\CON\\PRN\\AUX\\NUL\\CONIN$\\CONOUT$\\COM0\\COM1\\COM2\\COM3"
      "\\COM4\\COM5\\COM6\\COM7\\COM8\\COM9\\COM\xB9\\COM\xB2\\COM\xB3\\LPT0\\LPT1\\LPT2\\LPT3\\LPT4"
      "\\LPT5\\LPT6\\LPT7\\LPT8\\LPT9\\LPT\xB9\\LPT\xB2\\LPT\xB3\\";
  const std::string folder = "C:\\Fav", name(reinterpret_cast<const char*>(bytes), size), file = name + ".url";
  char path[PathBufferSize];
  if (!FavoriteExportPath(folder, name, Cp1252ToUtf16(name), path)) return 0;
  bool bad = path != folder + "\\" + file;
  int depth = 0;
  for (std::size_t start = 0, end = 0; end < file.size(); start = end + 1) {
    end = std::min(file.find_first_of("\\/", start), file.size());
    std::string c = file.substr(start, end - start), stem = c.substr(0, c.find('.'));
    const bool dots = c.find_first_not_of(". ") == std::string::npos;
    depth += dots ? -(std::count(c.begin(), c.end(), '.') >= 2) : 1;
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& ch : stem) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    bad |= depth < 0 || devices.find("\\" + stem + "\\") != std::string::npos;
  }
  for (unsigned char ch : file) bad |= ch < 0x20 || ch == 0x7F || ch == ':';
  if (bad || depth < 1) std::abort();
  return 0;
}

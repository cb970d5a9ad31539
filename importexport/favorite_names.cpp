// The name rule of shortcut files and the paths formed from them.
#include "importexport/favorite_names.h"

#include <string>

#include "addressdb/record.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The platform drops trailing dots and blanks of a path component, so "..",
// ". ." and ".. " all name the parent folder: a component of nothing but dots
// and blanks with two dots or more is taken for one.
bool IsParentComponent(std::string_view component) {
  std::size_t dots = 0;
  for (char c : component) {
    if (c == '.')
      ++dots;
    else if (c != ' ')
      return false;
  }
  return dots >= 2;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The platform takes CON, NUL, COM1 ... for the devices, whatever extension
// follows and with blanks before it: writing such a "file" reaches the device.
bool IsDeviceName(std::string_view component) {
  std::string_view stem = component.substr(0, component.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper;
  for (char c : stem) upper += Upper(c);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

// A name that would lead out of the folder or to a device.
bool IsUnsafeName(std::string_view name) {
  if (name.empty()) return false;
  if (IsSeparator(name[0])) return true;
  if (name.size() >= 2 && name[1] == ':') return true;
  // The last component gets ".url" behind it and so names a file in the
  // folder; every component before a separator must not climb out. None
  // may name a device.
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !IsSeparator(name[i])) continue;
    const std::string_view component = name.substr(start, i - start);
    if (IsDeviceName(component) || (i < name.size() && IsParentComponent(component))) return true;
    start = i + 1;
  }
  return false;
}

bool Join(char (&path)[PathBufferSize], std::string_view a, std::string_view b,
          std::string_view c, std::string_view d) {
  path[0] = '\0';
  const std::size_t total = a.size() + b.size() + c.size() + d.size();
  if (total >= PathBufferSize) return false;
  std::size_t n = 0;
  for (std::string_view part : {a, b, c, d})
    for (char ch : part) path[n++] = ch;
  path[n] = '\0';
  return true;
}

}  // namespace

void FavoriteNameFromFileName(std::string_view fileName, char (&name)[128]) {
  constexpr std::string_view kExtension = ".url";
  if (fileName.size() >= kExtension.size() &&
      fileName.substr(fileName.size() - kExtension.size()) == kExtension)
    fileName.remove_suffix(kExtension.size());
  SetFieldText(name, fileName);
}

bool FavoriteFilePath(std::string_view folder, std::string_view fileName,
                      char (&path)[PathBufferSize]) {
  return Join(path, folder, "\\", fileName, "");
}

bool FavoriteExportPath(std::string_view folder, std::string_view name,
                        char (&path)[PathBufferSize]) {
  if (IsUnsafeName(name)) {
    path[0] = '\0';
    return false;
  }
  return Join(path, folder, "\\", name, ".url");
}

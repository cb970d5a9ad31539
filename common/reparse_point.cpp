// Finding reparse points in the installation folder and below it.
#include "common/reparse_point.h"

#include <windows.h>

namespace {

// Whether the path is a reparse point; a missing path is none.
bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

bool ThroughReparsePoint(std::string_view folder, std::string_view name) {
  std::string base(folder);
  if (base.size() > 3 && base.back() == '\\') base.pop_back();  // a drive root keeps its backslash
  if (IsReparsePoint(base)) return true;
  if (base.empty() || base.back() != '\\') base += '\\';
  for (std::size_t i = 1; i <= name.size(); ++i) {  // from 1: the folder was looked at
    if ((i == name.size() || name[i] == '\\' || name[i] == '/') && IsReparsePoint(base + std::string(name.substr(0, i))))
      return true;
  }
  return false;
}

// The containment rule of relative file names, and what a full path is.
#include "common/contained_name.h"

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

}  // namespace

bool StaysInFolder(std::string_view name) {
  if (!name.empty() && IsSeparator(name[0])) return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  return !AnyComponent(name, IsParentComponent);
}

bool IsFullPath(std::string_view path) {
  const char drive = static_cast<char>(path.empty() ? 0 : path[0] | 0x20);
  if (path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\') return true;
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  const std::size_t share = path.find('\\', 2);  // server and share both named
  return share != std::string_view::npos && share > 2 && share + 1 < path.size() && path[share + 1] != '\\';
}

bool HasForbiddenCharacter(std::string_view name) {
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == ':' || u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

bool NamesFileInFolder(std::string_view name) {
  return StaysInFolder(name) && !HasForbiddenCharacter(name) && !AnyComponent(name, IsDeviceName<char>);
}

// The containment rule of relative file names.
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

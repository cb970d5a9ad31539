// Forms of the installation directory for the removal run.
#include "uninstaller/install_directory.h"

bool DirectoryForJoining(std::string_view installPath, std::string& joined) {
  if (installPath.empty()) return false;
  joined.assign(installPath);
  if (joined.back() != '\\') joined += '\\';
  return joined.size() <= 259;
}

std::string DirectoryToRemove(std::string_view joined) {
  if (joined.size() > 3) joined.remove_suffix(1);
  return std::string(joined);
}

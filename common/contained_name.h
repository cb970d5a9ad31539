// File names that the installer, the uninstaller and the favourites export
// join behind a folder: only those that stay in that folder are used.
#pragma once

#include <cstddef>
#include <string_view>

// False when the name, joined behind a folder and a backslash, would lead out
// of it: a leading slash or backslash, a drive ("X:"), or a component the
// platform reads as the parent folder ("..", and ".." with dots or blanks
// after it, which the platform drops).
bool StaysInFolder(std::string_view name);

// A path that names its folder wherever the program runs: a drive letter, a
// colon and a backslash (C:\...), or \\server\share. Anything else the platform
// would read against the current folder or the current drive.
bool IsFullPath(std::string_view path);

// Whether test holds for some component of the name, the parts between
// slashes and backslashes (empty ones included); of bytes or of UTF-16 text.
template <typename Char>
bool AnyComponent(std::basic_string_view<Char> name,
                  bool (*test)(std::basic_string_view<Char> component)) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && name[i] != Char('\\') && name[i] != Char('/')) continue;
    if (test(name.substr(start, i - start))) return true;
    start = i + 1;
  }
  return false;
}

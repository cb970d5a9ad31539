// File names that the installer, the uninstaller and the favourites export
// join behind a folder: only those that stay in that folder, and name a file
// there rather than a device or a stream, are used.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

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

// A colon names a drive or a stream of another file; a control character is
// no part of a file name (and in a shortcut file ends or adds a line).
bool HasForbiddenCharacter(std::string_view name);

// Whether a component names a device rather than a file: CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM and LPT with 0 to 9 or a superscript digit, in any
// case, whatever extension or stream follows, with blanks before it. Of bytes
// in Windows-1252 or of UTF-16 text (both hold the superscripts at B9, B2, B3).
template <typename Char>
bool IsDeviceName(std::basic_string_view<Char> component) {
  std::basic_string_view<Char> stem = component.substr(0, component.find_first_of(std::basic_string<Char>{'.', ':'}));
  while (!stem.empty() && stem.back() == Char(' ')) stem.remove_suffix(1);
  std::string upper;  // the code of each character, which all of a device's are below 256
  for (Char c : stem) {
    const unsigned code = static_cast<std::make_unsigned_t<Char>>(c);
    if (code > 0xFF) return false;
    upper += static_cast<char>(code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code);
  }
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  if (upper.size() != 4 || (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0)) return false;
  const unsigned char digit = static_cast<unsigned char>(upper[3]);
  return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// A name of setup.ini or of the uninstaller's list: one that stays in the
// folder, holds no colon or control character, and names no device in any
// component, so that it names a file in the folder.
bool NamesFileInFolder(std::string_view name);

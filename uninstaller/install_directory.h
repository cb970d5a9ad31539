// The installation directory as the uninstaller uses it: with a final
// backslash for joining file names, without it for removing the directory.
#pragma once

#include <string>
#include <string_view>

// installPath with a final backslash added if it has none. False when the
// path is empty or the result would not fit 259 characters.
bool DirectoryForJoining(std::string_view installPath, std::string& joined);

// The joined directory without its final backslash, except for a drive root
// such as C:\, which keeps it.
std::string DirectoryToRemove(std::string_view joined);

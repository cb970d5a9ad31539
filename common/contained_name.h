// File names that the installer, the uninstaller and the favourites export
// join behind a folder: only those that stay in that folder are used.
#pragma once

#include <string_view>

// False when the name, joined behind a folder and a backslash, would lead out
// of it: a leading slash or backslash, a drive ("X:"), or a component the
// platform reads as the parent folder ("..", and ".." with dots or blanks
// after it, which the platform drops).
bool StaysInFolder(std::string_view name);

// Whether test holds for some component of the name, the parts between
// slashes and backslashes (empty ones included).
bool AnyComponent(std::string_view name, bool (*test)(std::string_view component));

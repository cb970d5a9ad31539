// Names and paths of Internet Shortcut files in the favourites folder.
#pragma once

#include <cstddef>
#include <string_view>

// Paths are held in buffers of this size, terminator included.
constexpr std::size_t PathBufferSize = 260;

// The entry name of a shortcut file: the file name less a final ".url" (small
// letters only), cut to the 127 characters of the name field.
void FavoriteNameFromFileName(std::string_view fileName, char (&name)[128]);

// folder + "\" + name + ".url" into path; false, with path empty, when it
// does not fit or when the name would lead out of the folder (a ".."
// component, a leading slash or backslash), to a device (CON, NUL, COM0 to
// COM9 or COM with a superscript digit ... in any component, any case, with
// any extension) or to a stream (any colon), or holds a control character.
// Devices are told by fileSystemName, the name as the file system sees it
// (its bytes read in the ANSI code page in force): under another code page
// than Windows-1252 other bytes are the superscript digits.
bool FavoriteExportPath(std::string_view folder, std::string_view name,
                        std::u16string_view fileSystemName, char (&path)[PathBufferSize]);

// A link goes into the shortcut file as one value: one holding a line break
// would add lines of its own, so it is not written.
bool FavoriteLinkWritable(std::string_view link);
